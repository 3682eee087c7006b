#pragma once

#include <cstddef>

namespace tavelo {

// Writes every byte to `fd`, going on after interruptions. False when the
// system refuses (a full disk, a file size limit) or stops taking bytes.
bool WriteAll(int fd, const void* data, size_t size);

}  // namespace tavelo
