// The resources themselves: the string table against the engine's texts, the GBK storage of
// the Chinese texts, the English library's identifiers, the bitmaps' sizes and the skin.
#include <windows.h>

#include <string>

#include "command_line_split.h"
#include "driver_support.h"
#include "engine_result.h"
#include "file_chooser.h"
#include "language_choice.h"
#include "resource.h"
#include "resource_module.h"
#include "result_box.h"
#include "scenarios.h"
#include "settings_file.h"
#include "skin/skin_engine.h"

namespace {
std::string Joined(const std::vector<std::string>& items)
{
    std::string all;
    for (const auto& s : items) all += "[" + s + "]";
    return all;
}

bool BitmapIs(HINSTANCE module, int id, int width, int height, int bits)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return false;
    DIBSECTION dib = {};
    GetObjectA(bitmap, sizeof dib, &dib);
    DeleteObject(bitmap);
    return dib.dsBm.bmWidth == width && dib.dsBm.bmHeight == height && dib.dsBmih.biBitCount == bits;
}
}  // namespace

void ResourceTests()
{
    HINSTANCE chinese = GetModuleHandleA(nullptr);
    HMODULE english = LoadLibraryA("Velmar.dll");
    Check(english != nullptr, "Velmar.dll loads");

    Note("string table");
    int mismatched = 0;
    for (int id : {114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 131})
        if (Utf8(LoadText(id)) != BuiltInStringUtf8(id)) ++mismatched;
    Check(mismatched == 0, "strings 114-123 and 131 equal the engine's messages");
    Check(Utf8(LoadText(IDS_TASK_DONE)) == "任务完成！" && Utf8(LoadText(IDS_CONVERTING)) == "正在转换 %s" &&
              LoadText(IDS_PRODUCT) == "Kelvra" && LoadText(IDS_VERSION) == "Kelvra V1.2",
          "Chinese texts stored in code page 936");
    Check(Utf8(ResultBoxText(-7)) == "用户强行退出。" && Utf8(ResultBoxText(-11)) == "当前不支持修正该类型媒体的文件信息。" &&
              Utf8(ResultBoxText(-12)) == "发生未知错误-12！您可以将此现象汇报给我们。",
          "result box texts for -7, -11 and -12");
    std::string filter = LoadText(IDS_OPEN_FILTER);
    Check(std::count(filter.begin(), filter.end(), '\t') == 8 && FilterFromTabs(filter).find('\t') == std::string::npos,
          "open filter has four pairs");
    int missing = 0;
    for (int id = 101; id <= 136; ++id) {
        SetResourceModule(english);
        bool inEnglish = !LoadText(id).empty();
        SetResourceModule(nullptr);
        if (LoadText(id).empty() || !inEnglish) ++missing;
    }
    Check(missing == 0, "strings 101 to 136 exist in both languages");
    SetResourceModule(english);
    Check(LoadText(IDS_TASK_DONE) == "Task complete!" && LoadText(IDS_PRODUCT) == "Kelvra", "English texts from Velmar.dll");
    SetResourceModule(nullptr);

    Note("dialogs, menu, icon and bitmaps in both modules");
    for (HMODULE module : {static_cast<HMODULE>(chinese), english}) {
        int absent = 0;
        for (int id : {IDD_ABOUT, IDD_MAIN, IDD_BATCH, IDD_FILEINFO, IDD_MERGE, IDD_CUT})
            if (!FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5))) ++absent;
        if (!FindResourceA(module, MAKEINTRESOURCEA(IDR_CONTEXT_MENU), MAKEINTRESOURCEA(4))) ++absent;
        if (!LoadIconA(module, MAKEINTRESOURCEA(IDI_MAIN))) ++absent;
        for (int id : {IDI_MENU_BATCH, IDI_MENU_CLEAR, IDI_MENU_CUT, IDI_MENU_MERGE, IDI_MENU_DELETE, IDI_MENU_INFO,
                       IDI_MENU_ADD, IDI_MENU_ABOUT})
            if (!LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0)) ++absent;
        Check(absent == 0, "templates, menu 141 and icons present");
        bool sizes = true;
        for (int id : {IDB_ADD_FILES, IDB_BATCH, IDB_MERGE, IDB_CUT, IDB_HELP}) sizes &= BitmapIs(module, id, 48, 48, 24);
        for (int id : {IDB_PLAY, IDB_STOP, IDB_PAUSE}) sizes &= BitmapIs(module, id, 14, 14, 4);
        sizes &= BitmapIs(module, IDB_MUTE, 16, 16, 4);
        Check(sizes, "button bitmaps: 48x48 24-bit, 14x14 and 16x16 16 colours");
        HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
        HMENU popup = GetSubMenu(menu, 0);
        const UINT order[] = {ID_MENU_BATCH, ID_MENU_CUT, ID_MENU_MERGE, ID_MENU_INFO, 0, ID_MENU_ADD, ID_MENU_DELETE,
                              ID_MENU_CLEAR, 0, ID_MENU_ABOUT};
        bool inOrder = GetMenuItemCount(popup) == 11;
        for (int i = 0; i < 10 && inOrder; ++i) inOrder = GetMenuItemID(popup, i) == (order[i] ? order[i] : 0);
        HMENU language = GetSubMenu(popup, 10);
        inOrder = inOrder && language && GetMenuItemID(language, 0) == ID_MENU_CHINESE &&
                  GetMenuItemID(language, 1) == ID_MENU_ENGLISH;
        Check(inOrder, "context menu items in order with the language popup last");
        DestroyMenu(menu);
    }
    if (english) FreeLibrary(english);

    Note("skin layer");
    Check(SkinIsInitialized() && SkinValue("Dialog", "Background") == "ButtonFace", "skin SKIN1 loaded from resources");

    Note("command-line splitting");
    Check(Joined(SplitCommandLine("C:\\Music\\a.mp3 \"C:\\My Music\\b c.wma\" ")) == "[C:\\Music\\a.mp3][C:\\My Music\\b c.wma]",
          "the shell extension's command line");
    Check(Joined(SplitCommandLine("a.mp3  b.mp3")) == "[a.mp3][][b.mp3]", "two blanks give an empty path");
    Check(Joined(SplitCommandLine("C:\\My Music\\x.mp3")) == "[C:\\My][Music\\x.mp3]", "unquoted blank splits");
    Check(Joined(SplitCommandLine("a.mp3 \"C:\\b c.mp3\"")) == "[a.mp3][C:\\b c.mp3]", "last quoted path without blank");
    Check(Joined(SplitCommandLine("\"\"x\"\" ")) == "[x]" && SplitCommandLine("").empty(), "quotes trimmed, empty line");

    Note("language rule and settings integers");
    const LANGID englishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    Check(UseEnglishInterface(0, englishUs) && !UseEnglishInterface(0, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL)) &&
              !UseEnglishInterface(0, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SINGAPORE)) && UseEnglishInterface(2, 0x804) &&
              !UseEnglishInterface(3, englishUs) && !UseEnglishInterface(1, englishUs),
          "AppLan 0 follows the system, 2 is English, others Chinese");
    Check(ParseSettingsInt("12abc", 10) == 12 && ParseSettingsInt("-7", 10) == -7 && ParseSettingsInt("ff", 16) == 255 &&
              ParseSettingsInt("17", 8) == 15 && ParseSettingsInt("101", 2) == 5 && ParseSettingsInt("x", 10) == 0 &&
              ParseSettingsInt("19", 7) == 19,
          "integer texts in bases 10, 16, 8, 2 and others");

    Note("multiple-selection buffer");
    const char several[] = "Z:\\music\0a.mp3\0b c.mp3\0\0";
    const char rootDir[] = "Z:\\\0a.mp3\0\0";
    const char single[] = "Z:\\music\\one.mp3\0\0";
    Check(Joined(SplitSelectionBuffer(several, sizeof several)) == "[Z:\\music\\a.mp3][Z:\\music\\b c.mp3]" &&
              Joined(SplitSelectionBuffer(rootDir, sizeof rootDir)) == "[Z:\\a.mp3]" &&
              Joined(SplitSelectionBuffer(single, sizeof single)) == "[Z:\\music\\one.mp3]",
          "directory and names joined, one path kept whole");
}
