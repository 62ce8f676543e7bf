#pragma once
// Result codes of the MACDll calls (0 is success).
namespace mac {
enum Error : int {
    kSuccess = 0,
    kErrorIoRead = 1000,
    kErrorIoWrite = 1001,
    kErrorInvalidInputFile = 1002,
    kErrorUnsupportedFileVersion = 1003,
    kErrorInvalidChecksum = 1009,
    kErrorDecompressingFrame = 1010,
    kErrorInsufficientMemory = 2000,
    kErrorBadParameter = 5000,
    kErrorUndefined = -1,
};
}  // namespace mac
