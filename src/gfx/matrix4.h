#pragma once
// A 4 x 4 matrix of floats stored row after row, as it is written down. OpenGL reads
// matrices column after column, so transposed() is what glMultMatrixf is given.

struct Matrix4 {
    float m[16];

    constexpr Matrix4 transposed() const {
        Matrix4 t{};
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                t.m[column * 4 + row] = m[row * 4 + column];
            }
        }
        return t;
    }
};
