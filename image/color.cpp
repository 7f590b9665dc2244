#include "MoxImage2.h"

CMoxColor::CMoxColor() : m_r(0), m_g(0), m_b(0) {}

CMoxColor::CMoxColor(unsigned char r, unsigned char g, unsigned char b) : m_r(0), m_g(0), m_b(0)
{
    Init(r, g, b);
}

CMoxColor::~CMoxColor() = default;

CMoxColor& CMoxColor::operator=(const CMoxColor& other)
{
    m_r = other.m_r;
    m_g = other.m_g;
    m_b = other.m_b;
    return *this;
}

void CMoxColor::Init(unsigned char r, unsigned char g, unsigned char b)
{
    m_r = r;
    m_g = g;
    m_b = b;
}

unsigned char CMoxColor::GetR()
{
    return m_r;
}
unsigned char CMoxColor::GetG()
{
    return m_g;
}
unsigned char CMoxColor::GetB()
{
    return m_b;
}
