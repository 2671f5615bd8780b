// TbrvWin32ComFactory: a class factory that registers its class under the classes root: the
// CLSID key with its in-process server, and the ProgID when the class has one.
#pragma once

#include <windows.h>

#include <string>

#include "com/com_factory.h"

namespace brv {

class TbrvWin32ComFactory : public TbrvComFactory {
 public:
  // An empty Description takes ClassName.
  TbrvWin32ComFactory(const CLSID& ClassId, TbrvComClass ComClass, std::u16string ClassName,
                      std::u16string Description);

  // The ProgID; may be empty.
  const std::u16string& ComClassName() const { return FClassName; }
  const std::u16string& Description() const { return FDescription; }

  // Writes the class's keys (true) or deletes them with their subkeys (false).
  void UpdateRegistry(bool Register) override;
  // Called at the end of a successful registration with the open class key and root.
  virtual void UpdateRegistry(HKEY ClassKey, HKEY RootKey);

 private:
  std::u16string FClassName;
  std::u16string FDescription;
};

// The class id as registry text: 38 characters, braces and upper-case hexadecimal digits.
std::u16string ClassIdText(const CLSID& ClassId);

}  // namespace brv
