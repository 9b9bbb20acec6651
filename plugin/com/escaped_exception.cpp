#include "plugin/com/escaped_exception.h"

#include <new>

namespace ramulet::win32 {

EscapedException DescribeCurrentException() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return {E_OUTOFMEMORY, L"Недостаточно памяти для выполнения операции. Закройте лишние окна и повторите её."};
  } catch (...) {
    return {E_UNEXPECTED, L"Внутренняя ошибка панели: операция прервана."};
  }
}

}  // namespace ramulet::win32
