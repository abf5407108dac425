#include "reports/file_system.h"

#include <cstring>

namespace tallora {

std::string ErrorText(int error) {
  return std::strerror(error);
}

}  // namespace tallora
