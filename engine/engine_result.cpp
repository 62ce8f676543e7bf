#include "engine_result.h"

#include "text_codepage.h"

#include <cstdio>

namespace {
struct BuiltInString { int id; const char* text; };

// The program's own texts, as in its string table.
const BuiltInString kStrings[] = {
    {114, "不能打开该文件，请确保该文件确实可用。"},
    {115, "不能打开解码器，您可以将此错误汇报给我们。"},
    {116, "不能打开编码器，可能是选择了不被支持的输出格式。"},
    {117, "文件中不存在媒体流，请确保打开多媒体文件。"},
    {118, "加载Real引擎错误，请确保已经安装了RealPlayer或者RealOne。"},
    {119, "该文件不支持帧定位！"},
    {120, "用户强行退出。"},
    {121, "加载WindowsMedia内核错误，请确保已经安装了Windows Media Player 9。"},
    {122, "解码时发生错误，您可以将此错误汇报给我们。"},
    {123, "发生未知错误%d！您可以将此现象汇报给我们。"},
    {131, "当前不支持修正该类型媒体的文件信息。"},
};
}  // namespace

int ResultStringId(EngineResult code)
{
    if (code >= -9 && code <= -1) return 113 - code;
    if (code == kErrTagsUnsupported) return 131;
    return 123;
}

const char* BuiltInStringUtf8(int stringId)
{
    for (const auto& s : kStrings)
        if (s.id == stringId) return s.text;
    return "";
}

std::string FormatResultMessage(EngineResult code, const std::string& messageTemplate)
{
    std::string out;
    size_t at = messageTemplate.find("%d");
    if (at == std::string::npos) return messageTemplate;
    out = messageTemplate.substr(0, at);
    out += std::to_string(code);
    out += messageTemplate.substr(at + 2);
    return out;
}

std::string ResultMessageUtf8(EngineResult code)
{
    return FormatResultMessage(code, BuiltInStringUtf8(ResultStringId(code)));
}

std::string ResultMessage(EngineResult code) { return Utf8ToAnsi(ResultMessageUtf8(code)); }
