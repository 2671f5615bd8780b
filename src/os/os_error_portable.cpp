// A stand-in for the system message table with the texts Windows gives for the codes this
// system meets, and a per-thread last error that the portable stand-ins set.
#include <unordered_map>

#include "os/os_error.h"

namespace brv::os {

namespace {

const std::unordered_map<uint32_t, std::u16string_view>& MessageTable() {
  static const std::unordered_map<uint32_t, std::u16string_view> table = {
      {0x00000000, u"The operation completed successfully.\r\n"},
      {0x80004001, u"Not implemented\r\n"},
      {0x80004002, u"No such interface supported\r\n"},
      {0x80004003, u"Invalid pointer\r\n"},
      {0x80004004, u"Operation aborted\r\n"},
      {0x80004005, u"Unspecified error\r\n"},
      {0x8000FFFF, u"Catastrophic failure\r\n"},
      {0x80040111, u"ClassFactory cannot supply requested class\r\n"},
      {0x80070002, u"The system cannot find the file specified.\r\n"},
      {0x80070003, u"The system cannot find the path specified.\r\n"},
      {0x80070005, u"Access is denied.\r\n"},
      {0x80070006, u"The handle is invalid.\r\n"},
      {0x8007000E, u"Not enough memory resources are available to complete this operation.\r\n"},
      {0x80070020,
       u"The process cannot access the file because it is being used by another process.\r\n"},
      {0x80070032, u"The request is not supported.\r\n"},
      {0x80070057, u"The parameter is incorrect.\r\n"},
      {0x80070070, u"There is not enough space on the disk.\r\n"},
      {0x8007007B, u"The filename, directory name, or volume label syntax is incorrect.\r\n"},
      {0x800700CE, u"The filename or extension is too long.\r\n"},
      {0x800700DF, u"The file size exceeds the limit allowed and cannot be saved.\r\n"},
      {0x80070781, u"The name of the file cannot be resolved by the system.\r\n"},
      {0x800401F3, u"Invalid class string\r\n"},
      {0x800401E3, u"Operation unavailable\r\n"},
  };
  return table;
}

thread_local uint32_t lastOsError = 0;

}  // namespace

std::u16string SystemMessageText(int32_t Status) {
  const auto& table = MessageTable();
  const auto it = table.find(static_cast<uint32_t>(Status));
  return it == table.end() ? std::u16string() : std::u16string(it->second);
}

uint32_t GetLastOsError() { return lastOsError; }

void SetLastOsError(uint32_t Code) { lastOsError = Code; }

}  // namespace brv::os
