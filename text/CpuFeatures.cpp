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

} // namespace cpu
