#include "swf_types.h"

#include <algorithm>
#include <cmath>

namespace swf {

Matrix Matrix::rotate(double radians) {
  double c = std::cos(radians), s = std::sin(radians);
  return {c, s, -s, c, 0, 0};
}

Matrix Matrix::operator*(const Matrix& in) const {
  Matrix m;
  m.a = a * in.a + c * in.b;
  m.b = b * in.a + d * in.b;
  m.c = a * in.c + c * in.d;
  m.d = b * in.c + d * in.d;
  m.tx = a * in.tx + c * in.ty + tx;
  m.ty = b * in.tx + d * in.ty + ty;
  return m;
}

namespace {
uint8_t transformChannel(uint8_t v, int mul, int add) {
  int r = (v * mul) / 256 + add;
  return static_cast<uint8_t>(std::clamp(r, 0, 255));
}
}  // namespace

Rgba ColorTransform::apply(Rgba c) const {
  return {transformChannel(c.r, mulR, addR), transformChannel(c.g, mulG, addG),
          transformChannel(c.b, mulB, addB), transformChannel(c.a, mulA, addA)};
}

}  // namespace swf
