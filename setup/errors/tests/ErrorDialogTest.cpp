#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <thread>

#include "framework/tests/TestApp.h"
#include "setup/errors/ErrorDialog.h"
#include "setup/errors/ErrorReport.h"
#include "setup/errors/MakeXException.h"
#include "setup/profile/InstallProfileException.h"
#include "setup/resources/ResourceIds.h"

namespace {

const char kFileNotFoundInfo[] =
    "A file required for this operation was not found. This could be because the wrong location for the file was "
    "specified, or because the file has been deleted.";

std::string TextOf(HWND wnd) {
  char text[1024];
  const int length = ::GetWindowTextA(wnd, text, sizeof text);
  return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

SIZE SizeOf(const RECT& rc) { return SIZE{rc.right - rc.left, rc.bottom - rc.top}; }

// What a user sees of one control.
struct ControlState {
  std::string text;
  bool visible = false;
  bool enabled = false;
};

ControlState StateOf(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  if (!control) return {};
  return ControlState{TextOf(control), ::IsWindowVisible(control) != 0, ::IsWindowEnabled(control) != 0};
}

// Everything the tests read back from an error dialog, at one moment.
struct DialogSnapshot {
  std::string caption;
  ControlState ok, cancel, help, more, message, shortText, longText, errorInformation;
  SIZE windowSize{};
  RECT client{};
};

DialogSnapshot Snapshot(HWND dialog) {
  DialogSnapshot s;
  s.caption = TextOf(dialog);
  s.ok = StateOf(dialog, IDOK);
  s.cancel = StateOf(dialog, IDCANCEL);
  s.help = StateOf(dialog, IDHELP);
  s.more = StateOf(dialog, IDC_MORE);
  s.message = StateOf(dialog, IDC_ERROR_MESSAGE);
  s.shortText = StateOf(dialog, IDC_ERROR_SHORT_TEXT);
  s.longText = StateOf(dialog, IDC_ERROR_LONG_TEXT);
  s.errorInformation = StateOf(dialog, IDC_ERROR_INFORMATION);
  RECT rc;
  ::GetWindowRect(dialog, &rc);
  s.windowSize = SizeOf(rc);
  ::GetClientRect(dialog, &s.client);
  return s;
}

// Acts as the user in front of the first dialog ("#32770", a message box
// included) that this thread shows with the given caption: a second thread
// waits for it and then runs the user's actions, which reach the dialog as
// messages through its modal loop. GoogleTest is not used on that thread;
// the actions record what they see for the test to check afterwards.
class User {
public:
  User(std::string caption, std::function<void(HWND)> actions)
      : caption_(std::move(caption)), actions_(std::move(actions)), thread_([this] { Run(); }) {}
  ~User() { Join(); }
  User(const User&) = delete;
  User& operator=(const User&) = delete;

  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  bool found = false;

  static void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
  static void PressEscape(HWND dialog) { ::PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0); }

private:
  void Run() {
    for (int i = 0; i < 1000 && !found; ++i) {
      HWND dialog = nullptr;
      Search search{caption_.c_str(), &dialog};
      ::EnumThreadWindows(mainThread_, &Find, reinterpret_cast<LPARAM>(&search));
      if (dialog) {
        found = true;
        actions_(dialog);
        return;
      }
      ::Sleep(10);
    }
  }
  struct Search {
    const char* caption;
    HWND* result;
  };
  static BOOL CALLBACK Find(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char cls[16];
    if (::GetClassNameA(wnd, cls, sizeof cls) && std::strcmp(cls, "#32770") == 0 && ::IsWindowVisible(wnd) &&
        TextOf(wnd) == search->caption) {
      *search->result = wnd;
      return FALSE;
    }
    return TRUE;
  }

  DWORD mainThread_ = ::GetCurrentThreadId();
  std::string caption_;
  std::function<void(HWND)> actions_;
  std::thread thread_;
};

// A member of the family whose texts cannot be built.
class CUndescribableException : public CXException {
public:
  const char* GetRuntimeClassName() const noexcept override { return "CUndescribableException"; }
  bool LookupErrorInfo(ErrorInfo&) const override { throw std::bad_alloc(); }
};

class ErrorDialogTest : public ::testing::Test {
protected:
  void SetUp() override { TestApp().handled.clear(); }
  void TearDown() override {
    DrainMessages();
    EXPECT_TRUE(TestApp().handled.empty()) << "no exception escaped a window procedure";
  }
};

}  // namespace

TEST_F(ErrorDialogTest, OpensFoldedAndUnfoldsWithTheMoreButton) {
  CErrorDialog dialog;
  dialog.message = "Setup cannot continue";
  dialog.shortText = "File not found.";
  dialog.longText = kFileNotFoundInfo;
  dialog.errorInformation = "9.2 (CXFileException)";
  ASSERT_TRUE(dialog.Create());
  dialog.ShowWindow(SW_SHOW);

  // The designed size, and the folded client area that the marker ends.
  RECT full{0, 0, 207, 162};
  ::MapDialogRect(dialog.m_hWnd, &full);
  ::AdjustWindowRectEx(&full, static_cast<DWORD>(::GetWindowLongPtrA(dialog.m_hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrA(dialog.m_hWnd, GWL_EXSTYLE)));
  RECT marker;
  ::GetWindowRect(dialog.GetDlgItem(IDC_FOLD_MARKER), &marker);
  ::MapWindowPoints(nullptr, dialog.m_hWnd, reinterpret_cast<POINT*>(&marker), 2);

  const DialogSnapshot folded = Snapshot(dialog.m_hWnd);
  EXPECT_FALSE(dialog.IsExpanded());
  EXPECT_EQ(marker.right, folded.client.right);
  EXPECT_EQ(marker.bottom, folded.client.bottom);
  EXPECT_EQ("&More>>", folded.more.text);
  EXPECT_FALSE(folded.longText.enabled);
  EXPECT_FALSE(folded.errorInformation.enabled);
  EXPECT_TRUE(folded.ok.enabled);
  EXPECT_TRUE(folded.more.enabled);
  EXPECT_TRUE(folded.shortText.enabled);

  User::Click(dialog.m_hWnd, IDC_MORE);
  const DialogSnapshot unfolded = Snapshot(dialog.m_hWnd);
  EXPECT_TRUE(dialog.IsExpanded());
  EXPECT_EQ(SizeOf(full).cx, unfolded.windowSize.cx);
  EXPECT_EQ(SizeOf(full).cy, unfolded.windowSize.cy);
  EXPECT_EQ("&More<<", unfolded.more.text);
  EXPECT_TRUE(unfolded.longText.enabled);
  EXPECT_TRUE(unfolded.errorInformation.enabled);

  User::Click(dialog.m_hWnd, IDC_MORE);
  const DialogSnapshot refolded = Snapshot(dialog.m_hWnd);
  EXPECT_EQ(folded.windowSize.cx, refolded.windowSize.cx);
  EXPECT_EQ(folded.windowSize.cy, refolded.windowSize.cy);
  EXPECT_EQ("&More>>", refolded.more.text);
  EXPECT_FALSE(refolded.longText.enabled);
  EXPECT_FALSE(refolded.errorInformation.enabled);
}

TEST_F(ErrorDialogTest, ShowsItsTextsIconFontAndButtons) {
  struct Row {
    BOOL allowContinue;
    int helpContext;
    const char* ok;
    bool cancelVisible;
    const char* cancel;
    bool helpVisible;
  } const rows[] = {
      {FALSE, 0, "OK", false, "Cancel", true},
      {TRUE, 0, "Continue Operation", true, "Cancel Operation", true},
      {TRUE, -1, "Continue Operation", true, "Cancel Operation", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "allowContinue " << row.allowContinue << ", help " << row.helpContext);
    CErrorDialog dialog;
    dialog.message = "Cannot install files from 'veltapp.exe':";
    dialog.shortText = "Access denied.";
    dialog.longText = "line one\r\nline two";
    dialog.errorInformation = "17.5 (CXFileException)";
    dialog.allowContinue = row.allowContinue;
    dialog.helpContext = row.helpContext;
    ASSERT_TRUE(dialog.Create());
    dialog.ShowWindow(SW_SHOW);
    const DialogSnapshot s = Snapshot(dialog.m_hWnd);

    EXPECT_EQ("Warning", s.caption);
    EXPECT_EQ("Cannot install files from 'veltapp.exe':", s.message.text);
    EXPECT_EQ("Access denied.", s.shortText.text);
    EXPECT_EQ("line one\r\nline two", s.longText.text);
    EXPECT_EQ("17.5 (CXFileException)", s.errorInformation.text);
    EXPECT_EQ(row.ok, s.ok.text);
    EXPECT_EQ(row.cancelVisible, s.cancel.visible);
    EXPECT_EQ(row.cancel, s.cancel.text);
    EXPECT_EQ(row.helpVisible, s.help.visible);
    EXPECT_TRUE(s.ok.visible);
    EXPECT_TRUE(s.more.visible);

    EXPECT_NE(0, ::SendDlgItemMessageA(dialog.m_hWnd, IDC_ERROR_ICON, STM_GETICON, 0, 0)) << "the system icon";

    // Arial 8 points on the explanation and the error-information line.
    for (int id : {IDC_ERROR_LONG_TEXT, IDC_ERROR_INFORMATION}) {
      auto font = reinterpret_cast<HFONT>(::SendDlgItemMessageA(dialog.m_hWnd, id, WM_GETFONT, 0, 0));
      LOGFONTA lf{};
      ASSERT_NE(0, ::GetObjectA(font, sizeof lf, &lf)) << id;
      CClientDC screen(nullptr);
      EXPECT_STREQ("Arial", lf.lfFaceName) << id;
      EXPECT_EQ(-::MulDiv(8, screen.GetDeviceCaps(LOGPIXELSY), 72), lf.lfHeight) << id;
      EXPECT_EQ(FW_NORMAL, lf.lfWeight) << id;
    }
  }
}

TEST_F(ErrorDialogTest, TheExplanationIsPaintedInTheDialogFaceColour) {
  CErrorDialog dialog;
  ASSERT_TRUE(dialog.Create());
  CMemoryDC dc(nullptr);
  ::SetBkColor(dc, RGB(1, 2, 3));
  auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(dialog.m_hWnd, WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_ERROR_LONG_TEXT))));
  LOGBRUSH lb{};
  ASSERT_NE(0, ::GetObjectA(brush, sizeof lb, &lb));
  EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), lb.lbColor);
  EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), ::GetBkColor(dc));
}

TEST_F(ErrorDialogTest, ReportErrorShowsAConvertedFileExceptionAndUnfoldsForTheUser) {
  DialogSnapshot seen, afterMore;
  User user("Warning", [&](HWND dialog) {
    seen = Snapshot(dialog);
    User::Click(dialog, IDC_MORE);
    afterMore = Snapshot(dialog);
    User::Click(dialog, IDOK);
  });
  const CFileException e(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "D:\\veltapp.exe");
  ReportError(IDS_SETUP_CANNOT_CONTINUE, e);
  user.Join();

  ASSERT_TRUE(user.found);
  EXPECT_EQ("Setup cannot continue", seen.message.text);
  EXPECT_EQ("File not found.", seen.shortText.text);
  // The details name the file the error is about.
  EXPECT_EQ(std::string(kFileNotFoundInfo) + "\r\n\r\nConcerns: D:\\veltapp.exe", seen.longText.text);
  EXPECT_EQ("9.2 (CXFileException)", seen.errorInformation.text);
  EXPECT_EQ("OK", seen.ok.text);
  EXPECT_FALSE(seen.cancel.visible);
  EXPECT_EQ("&More>>", seen.more.text);
  EXPECT_FALSE(seen.longText.enabled);
  EXPECT_FALSE(seen.errorInformation.enabled);

  EXPECT_EQ("&More<<", afterMore.more.text);
  EXPECT_GT(afterMore.windowSize.cy, seen.windowSize.cy);
  EXPECT_TRUE(afterMore.longText.enabled);
  EXPECT_TRUE(afterMore.errorInformation.enabled);

  // The caller's exception is untouched.
  EXPECT_EQ(CFileException::fileNotFound, e.m_cause);
  EXPECT_EQ("D:\\veltapp.exe", e.m_strFileName);
}

TEST_F(ErrorDialogTest, ReportErrorShowsTheProgramsOwnExceptionsAsTheyAre) {
  DialogSnapshot seen;
  User user("Warning", [&](HWND dialog) {
    seen = Snapshot(dialog);
    User::PressEscape(dialog);
  });
  ReportError(IDS_SETUP_CANNOT_CONTINUE, CInstallProfileException(CInstallProfileException::noDestinations));
  user.Join();
  ASSERT_TRUE(user.found);
  EXPECT_EQ("Setup cannot continue", seen.message.text);
  EXPECT_EQ("Incomplete or missing profile.", seen.shortText.text);
  EXPECT_EQ(0u, seen.longText.text.find("The profile that holds application install information is missing"));
  EXPECT_EQ("9.0 (CInstallProfileException)", seen.errorInformation.text);
}

TEST_F(ErrorDialogTest, AskContinueAfterErrorAnswersAsTheUserChose) {
  struct Row {
    const char* what;
    void (*answer)(HWND);
    bool expected;
  } const rows[] = {
      {"Continue Operation", [](HWND d) { User::Click(d, IDOK); }, true},
      {"Cancel Operation", [](HWND d) { User::Click(d, IDCANCEL); }, false},
      {"Esc", [](HWND d) { User::PressEscape(d); }, false},
      {"close box", [](HWND d) { ::PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
  };
  for (const Row& row : rows) {
    DialogSnapshot seen;
    User user("Warning", [&](HWND dialog) {
      seen = Snapshot(dialog);
      row.answer(dialog);
    });
    const CArchiveException e(CArchiveException::badSchema);
    const bool answer = AskContinueAfterError(IDS_CANNOT_INSTALL_FILES, e, std::string("veltdata.dat"));
    user.Join();
    ASSERT_TRUE(user.found) << row.what;
    EXPECT_EQ(row.expected, answer) << row.what;
    EXPECT_EQ("Cannot install files from 'veltdata.dat':", seen.message.text) << row.what;
    EXPECT_EQ("Archive Error", seen.shortText.text) << row.what;
    EXPECT_EQ("17.7 (CXArchiveException)", seen.errorInformation.text) << row.what;
    EXPECT_EQ("Continue Operation", seen.ok.text) << row.what;
    EXPECT_EQ("Cancel Operation", seen.cancel.text) << row.what;
    EXPECT_TRUE(seen.cancel.visible) << row.what;
  }
}

TEST_F(ErrorDialogTest, AnErrorThatCannotBeDescribedIsStillReportedWithAFixedText) {
  struct Row {
    bool allowContinue;
    int button;
  } const rows[] = {{false, IDOK}, {true, IDOK}, {true, IDCANCEL}};
  for (const Row& row : rows) {
    std::string text;
    User user("Warning", [&](HWND box) {
      char buffer[1024];
      ::GetDlgItemTextA(box, 0xffff, buffer, sizeof buffer);
      text = buffer;
      ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(row.button, BN_CLICKED), 0);
    });
    const CUndescribableException e;
    bool answer = false;
    if (row.allowContinue) {
      answer = AskContinueAfterError(IDS_CANNOT_INSTALL_FILES, e, "veltapp.exe");
    } else {
      ReportError(IDS_SETUP_CANNOT_CONTINUE, e);
    }
    user.Join();
    ASSERT_TRUE(user.found);
    const std::string message = row.allowContinue ? "Cannot install files from 'veltapp.exe':" : "Setup cannot continue";
    EXPECT_EQ(message + "\r\n\r\nSetup cannot show the details of this error.", text);
    if (row.allowContinue) {
      EXPECT_EQ(row.button == IDOK, answer);
    }
  }
}

TEST(FormatMessageId, FillsTheStringTableFormatAndCutsWhatDoesNotFit) {
  struct Guarded {
    CMessageBuffer buffer;
    char guard[16];
  };
  const std::string longName(600, 'x');
  struct Row {
    std::string name;
    int length;
  } const rows[] = {
      {"veltapp.exe", 40},
      {std::string(kMessageBufferSize - 30, 'n'), kMessageBufferSize - 1},  // exactly fits
      {std::string(kMessageBufferSize - 29, 'n'), kMessageBufferSize - 1},  // one too many: cut
      {longName, kMessageBufferSize - 1},
  };
  for (const Row& row : rows) {
    Guarded g;
    std::memset(g.guard, 0x5a, sizeof g.guard);
    const int length = FormatMessageId(g.buffer, IDS_CANNOT_INSTALL_FILES, row.name.c_str());
    EXPECT_EQ(row.length, length) << row.name.size();
    EXPECT_EQ(static_cast<std::size_t>(row.length), std::strlen(g.buffer.text)) << row.name.size();
    EXPECT_EQ(0, std::strncmp(g.buffer.text, "Cannot install files from '", 27)) << row.name.size();
    for (char c : g.guard) ASSERT_EQ(0x5a, c) << "nothing written past the buffer";
  }
  CMessageBuffer missing;
  std::strcpy(missing.text, "old");
  EXPECT_EQ(0, FormatMessageId(missing, 65000));
  EXPECT_STREQ("", missing.text) << "a missing string gives an empty message";
}
