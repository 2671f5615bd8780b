#include "office/command_bars.h"

namespace brv {

// Without the OLE picture library no picture can be made; the host receives a null reference.
TbrvPictureRef TbrvOfficeCommand::GetImage() { return nullptr; }

}  // namespace brv
