#include "cgglobal.h"

BoolLocker::BoolLocker(bool &flag, bool value) : m_flag(&flag), m_previous(flag)
{
    flag = value;
}

BoolLocker::~BoolLocker()
{
    *m_flag = m_previous;
}
