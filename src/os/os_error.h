// The operating system's error vocabulary: its message text for a result code and the calling
// thread's last error code.
#pragma once

#include <cstdint>
#include <string>

namespace brv::os {

// The system message table's text for Status (default language, no inserts), as the system
// gives it, trailing punctuation included; empty when the system has no text for the code.
std::u16string SystemMessageText(int32_t Status);

// The calling thread's last operating-system error code (GetLastError), and its setter.
uint32_t GetLastOsError();
void SetLastOsError(uint32_t Code);

}  // namespace brv::os
