#include "tarnwick/gridmaker/matrix.hpp"

namespace tarnwick::gridmaker {

Position position(Number x, Number y, Number width, Number height) {
    Position p;
    p.x = x;
    p.y = y;
    p.w = width;
    p.h = height;
    p.cx = add_half(x, width);
    p.cy = add_half(y, height);
    p.x2 = add_checked(x, width);
    p.y2 = add_checked(y, height);
    return p;
}

}  // namespace tarnwick::gridmaker
