#include "feedback/exports/ExportGuard.h"

std::atomic<std::int32_t> ExportGuard::s_entries{0};
std::atomic<std::int32_t> ExportGuard::s_faults{0};
