// Erasing key material so that the compiler cannot drop the stores as dead.
#pragma once
#include <cstddef>

namespace orvu {

// Writes zeros through a volatile pointer: a plain memset before the end of an object's life
// is a dead store the optimiser may remove.
inline void SecureWipe(void* data, size_t len) {
  volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
  while (len--) *p++ = 0;
}

}  // namespace orvu
