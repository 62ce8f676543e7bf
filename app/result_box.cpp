#include "result_box.h"

#include <windows.h>

#include "resource.h"
#include "resource_module.h"

std::string ResultBoxText(EngineResult code)
{
    return FormatResultMessage(code, LoadText(ResultStringId(code)));
}

void ResultBox::Report(EngineResult code)
{
    MessageBoxA(nullptr, ResultBoxText(code).c_str(), LoadText(IDS_PRODUCT).c_str(), MB_ICONWARNING | MB_OK);
}
