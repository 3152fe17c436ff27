#include "text/CpuFeatures.h"

namespace cpu {

bool hasSsse3()
{
#ifdef TAMBOREL_VECTOR_KERNELS
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
#else
    return false;
#endif
}

bool hasAvx2()
{
#ifdef TAMBOREL_VECTOR_KERNELS
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

int vectorWidth(VectorMethod method)
{
    const bool any = method == VectorMethod::Fastest;
    if (hasAvx2() && (any || method == VectorMethod::Avx2))
        return 32;
    if (hasSsse3() && (any || method == VectorMethod::Ssse3))
        return 16;
    return 0;
}

bool isAvailable(VectorMethod method)
{
    switch (method) {
    case VectorMethod::Avx2:
        return hasAvx2();
    case VectorMethod::Ssse3:
        return hasSsse3();
    default:
        return true;
    }
}

} // namespace cpu
