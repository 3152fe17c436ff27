#pragma once

#include <QtGlobal>

// The letter-case rule of the file system the tests run on, stated apart from the
// code under test so that a wrong rule there cannot set the tests' expectations.
[[nodiscard]] constexpr bool platformIgnoresCase()
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}
