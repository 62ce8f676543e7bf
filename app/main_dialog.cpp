#include "main_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "about_dialog.h"
#include "batch_convert_dialog.h"
#include "display_name.h"
#include "file_chooser.h"
#include "merge_convert_dialog.h"
#include "native_path.h"
#include "resource.h"
#include "resource_module.h"
#include "result_box.h"
#include "settings_file.h"
#include "skin/skin_engine.h"

namespace {
const int kBottomRiders[] = {IDC_MUTE, IDC_VOLUME, IDC_PLAY, IDC_STOP, IDC_PAUSE};

struct AddFilesJob {
    MainDialog* dialog;
    std::vector<std::string> paths;
};
}  // namespace

MainDialog::MainDialog(SettingsFile& settings)
    : ModalDialog(IDD_MAIN), settings_(settings), converter_(std::make_unique<Converter>())
{
    InitializeCriticalSection(&mediaInfoLock_);
    icon_ = LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDI_MAIN));
    smallIcon_ = static_cast<HICON>(LoadImageA(ResourceModule(), MAKEINTRESOURCEA(IDI_MAIN), IMAGE_ICON, 16, 16, 0));
}

MainDialog::~MainDialog()
{
    closing_ = true;
    for (HANDLE worker : workers_) {
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
    }
    if (smallIcon_) DestroyIcon(smallIcon_);
    DeleteCriticalSection(&mediaInfoLock_);
}

INT_PTR MainDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUT_SYSTEM) {
            About();
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_FILE_LIST && header->code == NM_RCLICK) ShowContextMenu();
        return FALSE;
    }
    case WM_INITMENUPOPUP:
        CheckLanguageItems(reinterpret_cast<HMENU>(wParam));
        return FALSE;
    case WM_SIZE:
        if (anchorsCaptured_) ApplyLayout(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_PAINT:
        if (IsIconic(window_)) {
            PaintMinimised();
            return TRUE;
        }
        return FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(icon_);
    case WM_CLOSE:
        Close();
        return TRUE;
    case WM_APP_ADD_ROW:
        AppendRow(*reinterpret_cast<const FileRow*>(lParam));
        return TRUE;
    case WM_APP_WORKER_DONE:
        ReapWorkers();
        return TRUE;
    }
    return FALSE;
}

void MainDialog::OnInitDialog()
{
    std::string aboutText = LoadText(IDS_ABOUT_ITEM);
    if (HMENU system = GetSystemMenu(window_, FALSE); system && !aboutText.empty()) {
        AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(system, MF_STRING, IDM_ABOUT_SYSTEM, aboutText.c_str());
    }
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_ ? smallIcon_ : icon_));
    SkinWindow(window_, "Dialog");

    HWND list = Item(IDC_FILE_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    const struct { UINT text; int width; } columns[] = {
        {IDS_COLUMN_NAME, 200}, {IDS_COLUMN_LENGTH, 100}, {IDS_COLUMN_PATH, 200}};
    for (int i = 0; i < 3; ++i) {
        std::string heading = LoadText(columns[i].text);
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = const_cast<char*>(heading.c_str());
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(Item(IDC_SEEK), TBM_SETPOS, TRUE, 0);

    for (const auto& path : initialFiles_) AddFile(path);

    CaptureAnchors();
    RECT client;
    GetClientRect(window_, &client);
    ApplyLayout(client.right, client.bottom);
}

void MainDialog::OnCommand(int id)
{
    switch (id) {
    case IDC_ADD_FILES:
    case ID_MENU_ADD:
        AddFilesCommand();
        break;
    case IDC_BATCH:
    case ID_MENU_BATCH:
        BatchCommand();
        break;
    case IDC_MERGE:
    case ID_MENU_MERGE:
        MergeCommand();
        break;
    case IDC_CUT:
    case ID_MENU_CUT:
        CutCommand();
        break;
    case ID_MENU_DELETE:
        DeleteSelected();
        break;
    case ID_MENU_CLEAR:
        ClearList();
        break;
    case IDC_HELP_BUTTON:
        Help();
        break;
    case ID_MENU_ABOUT:
        About();
        break;
    case ID_MENU_CHINESE:
        SetLanguage(1);
        break;
    case ID_MENU_ENGLISH:
        SetLanguage(2);
        break;
    case IDCANCEL:
        Close();
        break;
    }
}

EngineResult MainDialog::ReadRow(const std::string& path, FileRow& row)
{
    MediaInfo info;
    ClearMediaInfo(info);
    EnterCriticalSection(&mediaInfoLock_);
    EngineResult rc = converter_->GetMediaInfo(NativePath(path).c_str(), &info);
    LeaveCriticalSection(&mediaInfoLock_);
    if (rc < 0) return rc;
    row.name = DisplayName(info, path);
    row.length = FormatLength(info.duration);
    row.path = path;
    return rc;
}

// The whole row is written in one handler on the window's thread, so no other insertion
// or deletion can move it between its columns.
void MainDialog::AppendRow(const FileRow& row)
{
    HWND list = Item(IDC_FILE_LIST);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = RowCount();
    item.pszText = const_cast<char*>(row.name.c_str());
    int index = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return;
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(row.length.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 2;
    item.pszText = const_cast<char*>(row.path.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
}

void MainDialog::AddFile(const std::string& path)
{
    FileRow row;
    EngineResult rc = ReadRow(path, row);
    if (rc < 0) ResultBox::Report(rc);
    else AppendRow(row);
}

DWORD WINAPI MainDialog::AddFilesWorker(LPVOID data)
{
    std::unique_ptr<AddFilesJob> job(static_cast<AddFilesJob*>(data));
    MainDialog* self = job->dialog;
    for (const auto& path : job->paths) {
        if (self->closing_) break;
        FileRow row;
        EngineResult rc = self->ReadRow(path, row);
        if (rc < 0) ResultBox::Report(rc);
        else SendMessageA(self->window_, WM_APP_ADD_ROW, 0, reinterpret_cast<LPARAM>(&row));
    }
    --self->runningWorkers_;
    PostMessageA(self->window_, WM_APP_WORKER_DONE, 0, 0);
    return 0;
}

void MainDialog::AddFilesCommand()
{
    FileChooser chooser;
    chooser.SetUp(true, "", OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY, FilterFromTabs(LoadText(IDS_OPEN_FILTER)),
                  nullptr);
    chooser.UseFileBuffer(25600);
    if (chooser.Run() != FileChooser::Confirmed) return;
    pendingFiles_ = chooser.SelectedPaths();
    // Each worker gets its own copy of the paths, so a second command cannot change them under it.
    auto* job = new AddFilesJob{this, pendingFiles_};
    pendingFiles_.clear();
    ++runningWorkers_;
    HANDLE worker = CreateThread(nullptr, 0, AddFilesWorker, job, 0, nullptr);
    if (!worker) {
        --runningWorkers_;
        delete job;
        return;
    }
    workers_.push_back(worker);
}

void MainDialog::ReapWorkers()
{
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (WaitForSingleObject(*it, 0) == WAIT_OBJECT_0) {
            CloseHandle(*it);
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

int MainDialog::RowCount() const
{
    return static_cast<int>(SendMessageA(Item(IDC_FILE_LIST), LVM_GETITEMCOUNT, 0, 0));
}

std::vector<std::string> MainDialog::AllPaths() const
{
    std::vector<std::string> paths;
    HWND list = Item(IDC_FILE_LIST);
    int count = RowCount();
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH * 4] = {};
        LVITEMA item = {};
        item.iSubItem = 2;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        paths.push_back(text);
    }
    return paths;
}

void MainDialog::BatchCommand()
{
    if (RowCount() == 0) {
        AddFilesCommand();
        return;
    }
    BatchConvertDialog dialog(*converter_, window_);
    dialog.SetSources(AllPaths());
    ShowWindow(window_, SW_HIDE);
    dialog.Run(window_);
    ShowWindow(window_, SW_SHOW);
}

void MainDialog::MergeCommand()
{
    if (RowCount() == 0) {
        AddFilesCommand();
        return;
    }
    MergeConvertDialog dialog(*converter_, window_);
    dialog.SetSources(AllPaths());
    ShowWindow(window_, SW_HIDE);
    dialog.Run(window_);
    ShowWindow(window_, SW_SHOW);
}

void MainDialog::CutCommand()
{
    if (RowCount() == 0) {
        AddFilesCommand();
        return;
    }
    if (ListView_GetNextItem(Item(IDC_FILE_LIST), -1, LVNI_SELECTED) < 0) {
        MessageBoxA(window_, LoadText(IDS_SELECT_CUT_FILE).c_str(), LoadText(IDS_PRODUCT).c_str(), MB_OK);
        return;
    }
    // The cut dialog itself comes with the player panel.
}

void MainDialog::DeleteSelected()
{
    HWND list = Item(IDC_FILE_LIST);
    for (int row; (row = ListView_GetNextItem(list, -1, LVNI_SELECTED)) >= 0;) ListView_DeleteItem(list, row);
}

void MainDialog::ClearList()
{
    if (RowCount() == 0) return;
    if (MessageBoxA(window_, LoadText(IDS_CONFIRM_CLEAR).c_str(), LoadText(IDS_PRODUCT).c_str(),
                    MB_YESNO | MB_ICONQUESTION) == IDYES)
        ListView_DeleteAllItems(Item(IDC_FILE_LIST));
}

void MainDialog::Help()
{
    std::string file = settings_.ReadText("App", "AppPath", "") + "Help\\Help.chm";
    ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void MainDialog::About()
{
    AboutDialog dialog;
    dialog.Run(window_);
}

void MainDialog::SetLanguage(int appLan)
{
    settings_.WriteInt("App", "AppLan", appLan, 10);
    MessageBoxA(window_, LoadText(IDS_LANGUAGE_NEXT_START).c_str(), LoadText(IDS_PRODUCT).c_str(), MB_OK);
}

void MainDialog::CheckLanguageItems(HMENU menu)
{
    int appLan = settings_.ReadInt("App", "AppLan", 0, 10);
    CheckMenuItem(menu, ID_MENU_CHINESE, MF_BYCOMMAND | (appLan == 0 || appLan == 1 ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, ID_MENU_ENGLISH, MF_BYCOMMAND | (appLan == 2 ? MF_CHECKED : MF_UNCHECKED));
}

void MainDialog::ShowContextMenu()
{
    HMENU menu = LoadMenuA(ResourceModule(), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    if (!menu) return;
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTBUTTON, at.x, at.y, 0, window_, nullptr);
    DestroyMenu(menu);
}

void MainDialog::CaptureAnchors()
{
    GetClientRect(window_, &anchorClient_);
    anchors_.clear();
    const int ids[] = {IDC_FILE_LIST, IDC_MUTE, IDC_VOLUME, IDC_PLAY, IDC_STOP, IDC_PAUSE, IDC_TIME, IDC_SEEK};
    for (int id : ids) {
        HWND control = Item(id);
        if (!control) continue;
        Anchor anchor{id, {}};
        GetWindowRect(control, &anchor.rect);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&anchor.rect), 2);
        anchors_.push_back(anchor);
    }
    anchorsCaptured_ = true;
}

void MainDialog::ApplyLayout(int width, int height)
{
    if (!GetWindow(window_, GW_CHILD) || IsIconic(window_)) return;
    auto find = [&](int id) -> const RECT* {
        for (const auto& a : anchors_)
            if (a.id == id) return &a.rect;
        return nullptr;
    };
    auto move = [&](int id, int left, int top, int right, int bottom) {
        MoveWindow(Item(id), left, top, right - left, bottom - top, FALSE);
    };
    const int cw = anchorClient_.right, ch = anchorClient_.bottom;
    if (const RECT* r = find(IDC_FILE_LIST))
        move(IDC_FILE_LIST, r->left, r->top, width - (cw - r->right), height - (ch - r->bottom));
    for (int id : kBottomRiders) {
        if (const RECT* r = find(id)) {
            int top = height - (ch - r->top);
            move(id, r->left, top, r->right, top + (r->bottom - r->top));
        }
    }
    int timeLeft = 0;
    if (const RECT* r = find(IDC_TIME)) {
        int right = width - (cw - r->right);
        int top = height - (ch - r->top);
        timeLeft = right - (r->right - r->left);
        move(IDC_TIME, timeLeft, top, right, top + (r->bottom - r->top));
        if (const RECT* s = find(IDC_SEEK)) {
            int seekTop = height - (ch - s->top);
            move(IDC_SEEK, s->left, seekTop, timeLeft - (r->left - s->right), seekTop + (s->bottom - s->top));
        }
    }
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
}

void MainDialog::PaintMinimised()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window_, &client);
    int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(window_, &paint);
}

void MainDialog::Close()
{
    // Workers read through this window's Converter: let them end first.
    closing_ = true;
    for (HANDLE worker : workers_) WaitForThreadPumping(worker);
    ReapWorkers();
    EndDialog(window_, IDCANCEL);
}
