// GDI+ matrices, and the world transform of a Graphics built from them.
#include "gdiplus_tools.h"

#include <cmath>
#include <new>

using namespace Gdiplus;

namespace moxplat {

void MultiplyAffine(const double a[6], const double b[6], double out[6])
{
    const double r[6] = {a[0] * b[0] + a[1] * b[2],        a[0] * b[1] + a[1] * b[3],
                         a[2] * b[0] + a[3] * b[2],        a[2] * b[1] + a[3] * b[3],
                         a[4] * b[0] + a[5] * b[2] + b[4], a[4] * b[1] + a[5] * b[3] + b[5]};
    for (int i = 0; i < 6; ++i)
        out[i] = r[i];
}

bool InvertAffine(const double m[6], double out[6])
{
    const double det = m[0] * m[3] - m[1] * m[2];
    if (det == 0 || !std::isfinite(det))
        return false;
    const double r[6] = {m[3] / det,
                         -m[1] / det,
                         -m[2] / det,
                         m[0] / det,
                         (m[2] * m[5] - m[3] * m[4]) / det,
                         (m[1] * m[4] - m[0] * m[5]) / det};
    for (int i = 0; i < 6; ++i)
        out[i] = r[i];
    return true;
}

void ApplyOrder(double m[6], const double op[6], MatrixOrder order)
{
    if (order == MatrixOrderPrepend)
        MultiplyAffine(op, m, m);
    else
        MultiplyAffine(m, op, m);
}

namespace {

void Load(const MatrixImpl* matrix, double out[6])
{
    for (int i = 0; i < 6; ++i)
        out[i] = matrix->m[i];
}

void Store(MatrixImpl* matrix, const double in[6])
{
    for (int i = 0; i < 6; ++i)
        matrix->m[i] = REAL(in[i]);
}

bool ValidOrder(MatrixOrder order)
{
    return order == MatrixOrderPrepend || order == MatrixOrderAppend;
}

// Rotation by `angle` degrees, clockwise on a y-down surface; whole quarter turns are exact.
void RotationOf(double angle, double out[6])
{
    const double r = std::fmod(angle, 360.0) * (M_PI / 180.0);
    double c = std::cos(r), s = std::sin(r);
    if (std::fmod(angle, 90.0) == 0) {
        c = std::round(c);
        s = std::round(s);
    }
    const double m[6] = {c, s, -s, c, 0, 0};
    for (int i = 0; i < 6; ++i)
        out[i] = m[i];
}

Status Apply(MatrixImpl* matrix, const double op[6], MatrixOrder order)
{
    if (!matrix || !ValidOrder(order))
        return InvalidParameter;
    double m[6];
    Load(matrix, m);
    ApplyOrder(m, op, order);
    Store(matrix, m);
    return Ok;
}

} // namespace

} // namespace moxplat

using moxplat::MatrixImpl;

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipCreateMatrix(GpMatrix** matrix)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(matrix);
    if (!matrix)
        return InvalidParameter;
    *matrix = new (std::nothrow) MatrixImpl;
    return *matrix ? Ok : OutOfMemory;
}

GpStatus WINGDIPAPI GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix)
{
    const Status status = GdipCreateMatrix(matrix);
    if (status == Ok)
        GdipSetMatrixElements(*matrix, m11, m12, m21, m22, dx, dy);
    return status;
}

GpStatus WINGDIPAPI GdipCloneMatrix(GpMatrix* matrix, GpMatrix** cloneMatrix)
{
    if (!matrix || !cloneMatrix)
        return InvalidParameter;
    MatrixImpl* clone = new (std::nothrow) MatrixImpl(*moxplat::ToImpl(matrix));
    *cloneMatrix = clone;
    return clone ? Ok : OutOfMemory;
}

GpStatus WINGDIPAPI GdipDeleteMatrix(GpMatrix* matrix)
{
    if (!matrix)
        return InvalidParameter;
    delete moxplat::ToImpl(matrix);
    return Ok;
}

GpStatus WINGDIPAPI GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
{
    if (!matrix)
        return InvalidParameter;
    const REAL m[6] = {m11, m12, m21, m22, dx, dy};
    for (int i = 0; i < 6; ++i)
        moxplat::ToImpl(matrix)->m[i] = m[i];
    return Ok;
}

GpStatus WINGDIPAPI GdipGetMatrixElements(GDIPCONST GpMatrix* matrix, REAL* matrixOut)
{
    if (!matrix || !matrixOut)
        return InvalidParameter;
    for (int i = 0; i < 6; ++i)
        matrixOut[i] = moxplat::ToImpl(matrix)->m[i];
    return Ok;
}

GpStatus WINGDIPAPI GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* matrix2, MatrixOrder order)
{
    if (!matrix || !matrix2)
        return InvalidParameter;
    double op[6];
    moxplat::Load(moxplat::ToImpl(matrix2), op);
    return moxplat::Apply(moxplat::ToImpl(matrix), op, order);
}

GpStatus WINGDIPAPI GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY, MatrixOrder order)
{
    const double op[6] = {1, 0, 0, 1, offsetX, offsetY};
    return moxplat::Apply(matrix ? moxplat::ToImpl(matrix) : nullptr, op, order);
}

GpStatus WINGDIPAPI GdipScaleMatrix(GpMatrix* matrix, REAL scaleX, REAL scaleY, MatrixOrder order)
{
    const double op[6] = {scaleX, 0, 0, scaleY, 0, 0};
    return moxplat::Apply(matrix ? moxplat::ToImpl(matrix) : nullptr, op, order);
}

GpStatus WINGDIPAPI GdipRotateMatrix(GpMatrix* matrix, REAL angle, MatrixOrder order)
{
    double op[6];
    moxplat::RotationOf(angle, op);
    return moxplat::Apply(matrix ? moxplat::ToImpl(matrix) : nullptr, op, order);
}

GpStatus WINGDIPAPI GdipShearMatrix(GpMatrix* matrix, REAL shearX, REAL shearY, MatrixOrder order)
{
    const double op[6] = {1, shearY, shearX, 1, 0, 0};
    return moxplat::Apply(matrix ? moxplat::ToImpl(matrix) : nullptr, op, order);
}

// A singular matrix is refused and left as it was (MSDN Matrix::Invert).
GpStatus WINGDIPAPI GdipInvertMatrix(GpMatrix* matrix)
{
    if (!matrix)
        return InvalidParameter;
    double m[6];
    moxplat::Load(moxplat::ToImpl(matrix), m);
    if (!moxplat::InvertAffine(m, m))
        return InvalidParameter;
    moxplat::Store(moxplat::ToImpl(matrix), m);
    return Ok;
}

GpStatus WINGDIPAPI GdipTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count)
{
    if (!matrix || !pts || count <= 0)
        return InvalidParameter;
    const REAL* m = moxplat::ToImpl(matrix)->m;
    for (INT i = 0; i < count; ++i) {
        const double x = pts[i].X, y = pts[i].Y;
        pts[i].X = REAL(x * m[0] + y * m[2] + m[4]);
        pts[i].Y = REAL(x * m[1] + y * m[3] + m[5]);
    }
    return Ok;
}

// Integer points are rounded to the nearest whole coordinate.
GpStatus WINGDIPAPI GdipTransformMatrixPointsI(GpMatrix* matrix, GpPoint* pts, INT count)
{
    if (!matrix || !pts || count <= 0)
        return InvalidParameter;
    const REAL* m = moxplat::ToImpl(matrix)->m;
    for (INT i = 0; i < count; ++i) {
        const double x = pts[i].X, y = pts[i].Y;
        pts[i].X = INT(std::lround(x * m[0] + y * m[2] + m[4]));
        pts[i].Y = INT(std::lround(x * m[1] + y * m[3] + m[5]));
    }
    return Ok;
}

GpStatus WINGDIPAPI GdipVectorTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count)
{
    if (!matrix || !pts || count <= 0)
        return InvalidParameter;
    const REAL* m = moxplat::ToImpl(matrix)->m;
    for (INT i = 0; i < count; ++i) {
        const double x = pts[i].X, y = pts[i].Y;
        pts[i].X = REAL(x * m[0] + y * m[2]);
        pts[i].Y = REAL(x * m[1] + y * m[3]);
    }
    return Ok;
}

GpStatus WINGDIPAPI GdipIsMatrixIdentity(GDIPCONST GpMatrix* matrix, BOOL* result)
{
    if (!matrix || !result)
        return InvalidParameter;
    const REAL* m = moxplat::ToImpl(matrix)->m;
    *result = m[0] == 1 && m[1] == 0 && m[2] == 0 && m[3] == 1 && m[4] == 0 && m[5] == 0;
    return Ok;
}

GpStatus WINGDIPAPI GdipIsMatrixInvertible(GDIPCONST GpMatrix* matrix, BOOL* result)
{
    if (!matrix || !result)
        return InvalidParameter;
    double m[6], inverse[6];
    moxplat::Load(moxplat::ToImpl(matrix), m);
    *result = moxplat::InvertAffine(m, inverse);
    return Ok;
}

GpStatus WINGDIPAPI GdipIsMatrixEqual(GDIPCONST GpMatrix* matrix, GDIPCONST GpMatrix* matrix2, BOOL* result)
{
    if (!matrix || !matrix2 || !result)
        return InvalidParameter;
    const REAL *a = moxplat::ToImpl(matrix)->m, *b = moxplat::ToImpl(matrix2)->m;
    *result = TRUE;
    for (int i = 0; i < 6; ++i)
        if (a[i] != b[i])
            *result = FALSE;
    return Ok;
}

// --- The world transform of a Graphics ---------------------------------------------------------

GpStatus WINGDIPAPI GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix)
{
    if (!graphics || !matrix)
        return InvalidParameter;
    moxplat::Load(moxplat::ToImpl(matrix), moxplat::ToImpl(graphics)->state.world);
    return Ok;
}

GpStatus WINGDIPAPI GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix)
{
    if (!graphics || !matrix)
        return InvalidParameter;
    moxplat::Store(moxplat::ToImpl(matrix), moxplat::ToImpl(graphics)->state.world);
    return Ok;
}

GpStatus WINGDIPAPI GdipResetWorldTransform(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    const double identity[6] = {1, 0, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i)
        moxplat::ToImpl(graphics)->state.world[i] = identity[i];
    return Ok;
}

static GpStatus ApplyWorld(GpGraphics* graphics, const double op[6], MatrixOrder order)
{
    if (!graphics || !moxplat::ValidOrder(order))
        return InvalidParameter;
    moxplat::ApplyOrder(moxplat::ToImpl(graphics)->state.world, op, order);
    return Ok;
}

GpStatus WINGDIPAPI GdipMultiplyWorldTransform(GpGraphics* graphics, GDIPCONST GpMatrix* matrix, MatrixOrder order)
{
    if (!matrix)
        return InvalidParameter;
    double op[6];
    moxplat::Load(moxplat::ToImpl(matrix), op);
    return ApplyWorld(graphics, op, order);
}

GpStatus WINGDIPAPI GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order)
{
    const double op[6] = {1, 0, 0, 1, dx, dy};
    return ApplyWorld(graphics, op, order);
}

GpStatus WINGDIPAPI GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order)
{
    const double op[6] = {sx, 0, 0, sy, 0, 0};
    return ApplyWorld(graphics, op, order);
}

GpStatus WINGDIPAPI GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order)
{
    double op[6];
    moxplat::RotationOf(angle, op);
    return ApplyWorld(graphics, op, order);
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
