// Small vector and matrix helpers for the retained-mode stand-in (no library). Row vectors:
// p' = p * M, translation in the last row; frame matrices are rigid (rotation + translation).
#pragma once

#include "../internal/platform_private.h"

#include <cmath>

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

inline Vec3 MakeVec3(float x, float y, float z)
{
    return Vec3{x, y, z};
}
inline Vec3 operator+(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a)
{
    return std::sqrt(Dot(a, a));
}
inline bool IsFinite(Vec3 a)
{
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

// Unit vector, or false when the input is too short (or not finite) to have a direction.
inline bool Normalise(Vec3 a, Vec3* out)
{
    float len = Length(a);
    if (!(len > 1e-12f) || !std::isfinite(len))
        return false;
    *out = a * (1.0f / len);
    return true;
}

struct Mat4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

inline Mat4 Multiply(const Mat4& a, const Mat4& b)
{
    Mat4 r;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

inline Vec3 Row(const Mat4& a, int row)
{
    return {a.m[row][0], a.m[row][1], a.m[row][2]};
}
inline void SetRow(Mat4* a, int row, Vec3 v)
{
    a->m[row][0] = v.x;
    a->m[row][1] = v.y;
    a->m[row][2] = v.z;
}

// A point (w = 1) and a direction (w = 0) through a matrix.
inline Vec3 TransformPoint(Vec3 p, const Mat4& a)
{
    return {p.x * a.m[0][0] + p.y * a.m[1][0] + p.z * a.m[2][0] + a.m[3][0],
            p.x * a.m[0][1] + p.y * a.m[1][1] + p.z * a.m[2][1] + a.m[3][1],
            p.x * a.m[0][2] + p.y * a.m[1][2] + p.z * a.m[2][2] + a.m[3][2]};
}
inline Vec3 TransformDirection(Vec3 d, const Mat4& a)
{
    return {d.x * a.m[0][0] + d.y * a.m[1][0] + d.z * a.m[2][0], d.x * a.m[0][1] + d.y * a.m[1][1] + d.z * a.m[2][1],
            d.x * a.m[0][2] + d.y * a.m[1][2] + d.z * a.m[2][2]};
}

// Inverse of a rigid matrix: the rotation transposed, the translation turned back.
inline Mat4 InverseRigid(const Mat4& a)
{
    Mat4 r;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            r.m[i][j] = a.m[j][i];
    Vec3 t = TransformDirection(Row(a, 3), r);
    SetRow(&r, 3, t * -1.0f);
    return r;
}

// Turn by `angle` radians about a unit axis; a positive turn about +x takes +y towards +z.
inline Mat4 RotationAbout(Vec3 axis, float angle)
{
    float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    float x = axis.x, y = axis.y, z = axis.z;
    Mat4 r;
    r.m[0][0] = t * x * x + c;
    r.m[0][1] = t * x * y + s * z;
    r.m[0][2] = t * x * z - s * y;
    r.m[1][0] = t * x * y - s * z;
    r.m[1][1] = t * y * y + c;
    r.m[1][2] = t * y * z + s * x;
    r.m[2][0] = t * x * z + s * y;
    r.m[2][1] = t * y * z - s * x;
    r.m[2][2] = t * z * z + c;
    return r;
}
