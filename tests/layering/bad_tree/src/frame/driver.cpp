#include "gfx/texture.h"
#include "saver/timer.h"
  #  include "shell/main.h"
#include "../../tools/render/png.h"
