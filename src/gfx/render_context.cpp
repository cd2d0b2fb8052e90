#include "gfx/render_context.h"

#include <GL/gl.h>

RenderContext::~RenderContext() {
    releaseContext();
}

bool RenderContext::createContext(DeviceContext dc, int clientWidth, int clientHeight, int depthBits) {
    deviceContext = dc;
    width = clientWidth;
    height = clientHeight;
    colorDepth = depthBits;

    selectPixelFormat();

    // Made whatever the pixel format step reported; the results are not examined.
    renderingContext = createGlContext(deviceContext, width, height);
    makeCurrent(deviceContext, renderingContext);

    applyGlobalState();
    setProjection(width, height);
    return true;
}

bool RenderContext::selectPixelFormat() {
    PixelFormatRequest request;
    request.dwFlags = PIXEL_FORMAT_DRAW_TO_WINDOW | PIXEL_FORMAT_SUPPORT_OPENGL | PIXEL_FORMAT_DOUBLEBUFFER;
    request.iPixelType = 0;
    request.cColorBits = std::uint8_t(colorDepth);
    request.cDepthBits = std::uint8_t(colorDepth);
    request.iLayerType = 0;

    const int format = choosePixelFormat(deviceContext, request);
    if (format == 0) {
        showErrorBox("ChoosePixelFormat sippai", "ERROR");
        return false;
    }
    if (!setPixelFormat(deviceContext, format, request)) {
        showErrorBox("SetPixelFormat sippai", "ERROR");
        return false;
    }
    return true;
}

void RenderContext::applyGlobalState() {
    const GLfloat fogColour[4] = {0.3f, 0.0f, 0.8f, 1.0f};

    glShadeModel(GL_SMOOTH);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glCullFace(GL_BACK);  // GL_CULL_FACE stays off: both faces of every polygon are drawn
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLfloat(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLfloat(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLfloat(GL_NEAREST));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLfloat(GL_NEAREST));
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GLfloat(GL_MODULATE));
    glClearColor(0.3f, 0.0f, 0.8f, 1.0f);
    glClearAccum(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_START, 20.0f);
    glFogf(GL_FOG_END, 200.0f);
}

void RenderContext::setProjection(int viewWidth, int viewHeight) {
    // A fixed 4:3 frustum, its sides taken as floats widened to double; on a window of
    // other proportions the picture is stretched to the viewport.
    const double side = double(0.4f);
    const double top = double(0.3f);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-side, side, -top, top, 1.0, 400.0);
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, viewWidth, viewHeight);
}

void RenderContext::releaseContext() {
    makeCurrent(nullptr, nullptr);
    if (renderingContext != nullptr) {
        deleteGlContext(renderingContext);
        renderingContext = nullptr;
    }
}
