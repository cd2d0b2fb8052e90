# The frame's faults: its formulas, constants and render state. Sourced by
# tools/seed-faults.sh first, so these are numbered from 1.
# --- Colour and size cycles
A=src/frame/scene_animation.cpp
fault $A "inner ring red: base 0.1 becomes 0.11" \
    'pulse(0.1, 0.45, t)' 'pulse(0.11, 0.45, t)'
fault $A "inner ring green: frequency 0.7 becomes 0.75" \
    '0.7 * t' '0.75 * t'
fault $A "inner ring blue: swing 0.35 becomes 0.36" \
    'pulse(0.3, 0.35, 0.4 * t)' 'pulse(0.3, 0.36, 0.4 * t)'
fault $A "inner ring blue: frequency 0.4 becomes 0.45" \
    '0.35, 0.4 * t' '0.35, 0.45 * t'
fault $A "outer ring red: frequency 0.2 becomes 0.21" \
    '0.45, 0.2 * t' '0.45, 0.21 * t'
fault $A "outer ring green: base 0.2 becomes 0.25" \
    'pulse(0.2, 0.4, 0.14 * t)' 'pulse(0.25, 0.4, 0.14 * t)'
fault $A "outer ring green: frequency 0.14 becomes 0.15" \
    '0.14 * t' '0.15 * t'
fault $A "outer ring blue: frequency 0.12 becomes 0.13" \
    '0.12 * t' '0.13 * t'
fault $A "spark colour: green factor 0.8 becomes 0.85" \
    '0.8 * c.innerRingColor.g' '0.85 * c.innerRingColor.g'
fault $A "inner sprite size: frequency 1.2 becomes 1.25" \
    '1.2 * t' '1.25 * t'
fault $A "outer sprite size: swing 0.3 becomes 0.35" \
    'pulse(0.4, 0.3, 0.25 * t)' 'pulse(0.4, 0.35, 0.25 * t)'

# --- Camera path
fault $A "camera: elevation amplitude 1.4959964977 becomes 1.3959964977" \
    '1.4959964977' '1.3959964977'
fault $A "camera: elevation frequency 0.05 becomes 0.055" \
    'std::sin(0.05 * t)' 'std::sin(0.055 * t)'
fault $A "camera: base point's z uses sin instead of cos" \
    '40.0 * std::cos(elevation)' '40.0 * std::sin(elevation)'
fault $A "camera: base point's height radius 40 becomes 41" \
    '40.0 * std::sin(elevation)' '41.0 * std::sin(elevation)'
fault $A "camera: pull-in frequency 0.031415925 becomes 0.033415925" \
    '0.031415925' '0.033415925'
fault $A "camera: s^8 built as s^6" \
    's8 = s4 * s4' 's8 = s4 * s2'
fault $A "camera: pull-in depth 10 s^8 becomes 11 s^8" \
    '10.0 * s8' '11.0 * s8'
fault $A "camera: distance factor offset 0.5 becomes 0.6" \
    's8)) + 0.5' 's8)) + 0.6'
fault $A "camera: orbit rate 0.03 becomes 0.031" \
    '0.03 * t' '0.031 * t'

# --- Grid drift, wrap and fade
fault $A "grids: rise 5 units/s becomes 5.5" \
    'p->position.y + 5.0 * dt' 'p->position.y + 5.5 * dt'
fault $A "grids: wrap test > 40 becomes >= 40" \
    'p->position.y > 40.0f' 'p->position.y >= 40.0f'
fault $A "grids: wrap span 80 becomes 79" \
    'p->position.y -= 80.0f' 'p->position.y -= 79.0f'
fault $A "grids: the camera's level is checked last instead of first" \
    '{camera.position.y, 40.0f, -40.0f}' '{40.0f, -40.0f, camera.position.y}'
fault $A "grids: lower fade level -40 becomes -45" \
    'camera.position.y, 40.0f, -40.0f' 'camera.position.y, 40.0f, -45.0f'
fault $A "grids: fade distance scale 0.1 becomes 0.11" \
    'position.y) * 0.1' 'position.y) * 0.11'
fault $A "grids: fade reach 1.5 becomes 1.6" \
    'd < 1.5' 'd < 1.6'
fault $A "grids: fade offset 0.5 becomes 0.4" \
    'float(d - 0.5)' 'float(d - 0.4)'
fault $A "grids: faded green 0.1 f becomes 0.2 f" \
    'float(0.1 * f)' 'float(0.2 * f)'
fault $A "grids: faded alpha 0.5 becomes 0.6" \
    'float(0.4 * f), 0.5f}' 'float(0.4 * f), 0.6f}'

# --- Motes
fault $A "motes: circling offset with cos and sin swapped" \
    'std::cos(double(mote.angle))), mote.basePosition.y,
                            float(mote.basePosition.z + std::sin(double(mote.angle)))' \
    'std::sin(double(mote.angle))), mote.basePosition.y,
                            float(mote.basePosition.z + std::cos(double(mote.angle)))'
fault $A "motes: rise 5 units/s becomes 5.5" \
    'mote.basePosition.y + 5.0 * dt' 'mote.basePosition.y + 5.5 * dt'
fault $A "motes: wrap height 50 becomes 49" \
    'mote.basePosition.y > 50.0f' 'mote.basePosition.y > 49.0f'
fault $A "motes: wrap span 100 becomes 99" \
    'mote.basePosition.y -= 100.0f' 'mote.basePosition.y -= 99.0f'
fault $A "motes: turn 1 rad/s becomes 1.1" \
    'mote.angle += dt;' 'mote.angle += 1.1f * dt;'
fault $A "motes: angle wrap subtracts 6 instead of 2 pi" \
    'mote.angle -= 6.283185f' 'mote.angle -= 6.0f'
fault $A "motes: square edge 0.5 becomes 0.6" \
    '0.5f, camera' '0.6f, camera'

# --- Frame driver: spins, acceleration, texture slide, mote state, timeline
D=src/frame/frame_driver.cpp
fault $D "inner ring spin 0.32 pi rad/s becomes a little faster" \
    'INNER_SPIN = 1.0053096f' 'INNER_SPIN = 1.0153096f'
fault $D "outer ring spin 0.1 pi rad/s becomes a little faster" \
    'OUTER_SPIN = 0.31415924f' 'OUTER_SPIN = 0.32415924f'
fault $D "sparks' upward acceleration 6 becomes 6.5" \
    '{0.0f, 6.0f, 0.0f}' '{0.0f, 6.5f, 0.0f}'
fault $D "grid texture slide 0.05 repeats/s becomes 0.06" \
    'float(0.05 * dt)' 'float(0.06 * dt)'
fault $D "second grid's texture slides +u instead of -u" \
    'driftTexture(gridMesh2, -step, step)' 'driftTexture(gridMesh2, step, step)'
fault $D "third grid's texture slides +v instead of -v" \
    'driftTexture(gridMesh3, step, -step)' 'driftTexture(gridMesh3, step, step)'
fault $D "mote state: blending not enabled" \
    'glEnable(GL_BLEND);' ';'
fault $D "mote state: depth test left on" \
    'glDisable(GL_DEPTH_TEST);' ';'
fault $D "mote state: lighting left on" \
    'glDisable(GL_LIGHTING);' ';'
fault $D "mote state: blend (1, 1) becomes (src alpha, 1)" \
    'glBlendFunc(GL_ONE, GL_ONE);' 'glBlendFunc(GL_SRC_ALPHA, GL_ONE);'
fault $D "mote state: glow texture not enabled" \
    'bindTexture(true, &glowTexture' 'bindTexture(false, &glowTexture'
fault $D "mote state: glow filtered smoothly even in low detail" \
    '&glowTexture, renderDevice.smoothTextures' '&glowTexture, true'
fault $D "mote state: fog left on" \
    'glDisable(GL_FOG);' ';'
fault $D "title shown up to 8.5 s instead of 8" \
    't < 8.0' 't < 8.5'
fault $D "fade-in drawn at exactly 2 s" \
    't < 2.0' 't <= 2.0'
fault $D "rate text hidden at exactly 40 s" \
    't > 40.0' 't >= 40.0'
fault $D "rate update interval after 40 s becomes 500 ms" \
    'configure(0, 1000)' 'configure(0, 500)'

# --- Overlays
O=src/frame/overlays.cpp
fault $O "title fade rate 0.25 becomes 0.26" \
    '(8.0 - sceneTime) * 0.25' '(8.0 - sceneTime) * 0.26'
fault $O "title fade ends at 8.5 s instead of 8" \
    'float((8.0 - sceneTime)' 'float((8.5 - sceneTime)'
fault $O "title: right edge 0.55 becomes 0.56" \
    '{1.0f, 1.0f, 0.55f, -0.21f, -1.5f}' '{1.0f, 1.0f, 0.56f, -0.21f, -1.5f}'
fault $O "title: first corner's texture t 1 becomes 0" \
    '{0.0f, 1.0f, 0.15f, -0.21f, -1.5f}' '{0.0f, 0.0f, 0.15f, -0.21f, -1.5f}'
fault $O "title: modelview not reset to the identity" \
    'glLoadIdentity();' ';'
fault $O "title: banner replaced by the glow image" \
    'bindTexture(true, &bannerTexture' 'bindTexture(true, &glowTexture'
fault $O "title: blend (1, 1) becomes (src alpha, 1)" \
    'enterOverlayState(GL_ONE, GL_ONE)' 'enterOverlayState(GL_SRC_ALPHA, GL_ONE)'
fault $O "overlays: depth test left on" \
    'glDisable(GL_DEPTH_TEST);' ';'
fault $O "overlays: lighting left on" \
    'glDisable(GL_LIGHTING);' ';'
fault $O "fade-in rate 0.5 becomes 0.6" \
    '(2.0 - sceneTime) * 0.5' '(2.0 - sceneTime) * 0.6'
fault $O "fade-in: veil's lower edge -0.3 becomes -0.29" \
    '{1.0f, 0.0f, 0.4f, -0.3f, -1.0f}' '{1.0f, 0.0f, 0.4f, -0.29f, -1.0f}'
fault $O "fade-in: blend over becomes additive alpha" \
    'enterOverlayState(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)' 'enterOverlayState(GL_SRC_ALPHA, GL_ONE)'
fault $O "fade-in: texturing left on" \
    'glDisable(GL_TEXTURE_2D);' ';'

# --- Texture drift
T=src/frame/texture_drift.cpp
fault $T "texture drift wraps at 17 repeats instead of 16" \
    'WRAP_LIMIT = 16.0f' 'WRAP_LIMIT = 17.0f'
fault $T "texture drift wrap test >= 16 becomes > 16" \
    'std::fabs(first.u) >= WRAP_LIMIT' 'std::fabs(first.u) > WRAP_LIMIT'
fault $T "texture drift takes the u repeats off v" \
    'mesh.shiftTexCoords(-backU, -backV)' 'mesh.shiftTexCoords(-backU, -backU)'

# --- Particle emission
P=src/frame/particle_emission.cpp
fault $P "sparks: speed factor 1.2 becomes 1.3" \
    '1.2 * cycles.innerSpriteSize' '1.3 * cycles.innerSpriteSize'
fault $P "sparks: size factor 0.85 becomes 0.9" \
    'innerSpriteSize * 0.85' 'innerSpriteSize * 0.9'
fault $P "sparks: longest life 2 s becomes 2.5 s" \
    'randomRange(1.0f, 2.0f)' 'randomRange(1.0f, 2.5f)'
fault $P "sparks: one per 0.004 s instead of 0.003 s" \
    ': 0.003f' ': 0.004f'
fault $P "sparks: one per 0.025 s in low detail instead of 0.02 s" \
    '0.02f :' '0.025f :'

# --- Scene set-up
S=src/frame/scene_setup.cpp
fault $S "rings tilted 0.27 rad instead of 15 degrees" \
    'RING_TILT = 0.26179937f' 'RING_TILT = 0.27179937f'
fault $S "background (0, 0, 0, 0) becomes dark blue" \
    'setBackground(0.0f, 0.0f, 0.0f, 0.0f)' 'setBackground(0.0f, 0.0f, 0.1f, 0.0f)'
fault $S "grid textures repeat 9 times across v instead of 10" \
    'scaleTexCoords(10.0f, 10.0f)' 'scaleTexCoords(10.0f, 9.0f)'
fault $S "grid material shininess 5 becomes 6" \
    'shininess = 5.0f' 'shininess = 6.0f'
fault $S "grids drawn lit" \
    'setGroupFlags(false, true, true)' 'setGroupFlags(true, true, true)'
fault $S "grids blended by mode 2 (src alpha, 1) instead of 1" \
    'setBlendMode(1)' 'setBlendMode(2)'
fault $S "lowest grid starts at -25 instead of -26" \
    '{0.0f, -26.0f, 0.0f}' '{0.0f, -25.0f, 0.0f}'

# --- Sprite drawing
G=src/gfx/sprite_drawing.cpp
fault $G "sprites: blending not enabled" \
    'glEnable(GL_BLEND);' ';'
fault $G "sprites: depth test left on" \
    'glDisable(GL_DEPTH_TEST);' ';'
fault $G "sprites: lighting left on" \
    'glDisable(GL_LIGHTING);' ';'
fault $G "sprites: blend (1, 1) becomes (src alpha, 1)" \
    'glBlendFunc(GL_ONE, GL_ONE);' 'glBlendFunc(GL_SRC_ALPHA, GL_ONE);'
fault $G "sprites: textures filtered smoothly even in low detail" \
    'bindTexture(textured, texture, device.smoothTextures)' 'bindTexture(textured, texture, true)'
fault $G "sprite set: depth mask not restored afterwards" \
    'glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);' \
    'glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);'
fault $G "sprite set: depth test not restored afterwards" \
    'glEnable(GL_DEPTH_TEST);' ';'
fault $G "sprite set: fog not restored afterwards" \
    'glEnable(GL_FOG);
    glEnable(GL_DEPTH_TEST);' \
    'glEnable(GL_DEPTH_TEST);'
fault $G "particles: depth mask not restored afterwards" \
    'glEnable(GL_FOG);
    glDepthMask(GL_TRUE);' \
    'glEnable(GL_FOG);
    glDepthMask(GL_FALSE);'
fault $G "particles: lighting not restored afterwards" \
    'turns it on.
    glEnable(GL_LIGHTING);' \
    'turns it on.
    glDisable(GL_LIGHTING);'
fault $G "particles: fade runs at half speed" \
    '1.0f - particle.age / particle.lifetime' '1.0f - 0.5f * particle.age / particle.lifetime'
fault $G "sprites: half edge size x 0.5 becomes size x 0.6" \
    'size * 0.5f' 'size * 0.6f'

# --- Mesh drawing, blend modes, materials and texture binding
M=src/gfx/mesh_drawing.cpp
fault $M "meshes: fog colour of blended groups is the background" \
    'group.blended ? NO_FOG_COLOUR : backgroundColour' 'group.blended ? backgroundColour : NO_FOG_COLOUR'
fault $M "meshes: textures bound even when textures are off" \
    'group.textured && device.texturesEnabled' 'group.textured'
fault $M "meshes: view cone cosine 0.894 becomes 0.9" \
    'VIEW_CONE_COSINE = 0.894' 'VIEW_CONE_COSINE = 0.9'
fault src/gfx/material_state.cpp "blend mode 2: (src alpha, 1) becomes (src alpha, 1 - src alpha)" \
    'glBlendFunc(GL_SRC_ALPHA, GL_ONE);' 'glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);'
fault src/gfx/texture_binding.cpp "textures clamp instead of repeating in t" \
    'GL_TEXTURE_WRAP_T, GLfloat(GL_REPEAT)' 'GL_TEXTURE_WRAP_T, GLfloat(GL_CLAMP)'
fault src/gfx/texture_binding.cpp "smooth and nearest filtering swapped" \
    'smooth ? GLfloat(GL_LINEAR) : GLfloat(GL_NEAREST)' 'smooth ? GLfloat(GL_NEAREST) : GLfloat(GL_LINEAR)'
fault src/gfx/frame_bracket.cpp "frame start: current colour not reset to white" \
    'glColor3f(1.0f, 1.0f, 1.0f);' 'glColor3f(1.0f, 1.0f, 0.5f);'
