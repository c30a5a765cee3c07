#include <gtest/gtest.h>

#include <memory>

#include "tests/support/BmpBuilder.h"
#include "tests/support/Canvas.h"
#include "tests/support/TempDir.h"
#include "TestLaunchApp.h"
#include "cdlaunch/AutoPlayFrame.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);

// An 8-bit picture: left half of colour `left`, right half white.
BmpBuilder HalfPicture(int w, int h, COLORREF left) {
  BmpBuilder b;
  b.width = w;
  b.height = h;
  b.colors.assign(256, RGBQUAD{128, 128, 128, 0});
  b.colors[0] = RGBQUAD{255, 255, 255, 0};
  b.colors[1] = RGBQUAD{GetBValue(left), GetGValue(left), GetRValue(left), 0};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.indices.push_back(x < w / 2 ? 1 : 0);
  }
  return b;
}

BmpBuilder SolidPicture(int w, int h, COLORREF color) {
  BmpBuilder b = HalfPicture(w, h, color);
  b.indices.assign(static_cast<std::size_t>(w) * h, 1);
  return b;
}

class AutoPlayFrameTest : public ::testing::Test {
protected:
  void SetUp() override {
    char cwd[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    savedDirectory = cwd;
    LaunchApp().modulePath = dir / "cdlaunch.exe";
    LaunchApp().messages.clear();
  }
  void TearDown() override {
    frame.reset();
    DrainMessages();
    ::SetCurrentDirectoryA(savedDirectory.c_str());
    LaunchApp().modulePath.clear();
  }

  void Config(const std::string& text) { WriteFileBytes(dir / "autorun.inf", text); }
  // Writes name1.bmp and name2.bmp (w × h; normal red, highlighted blue).
  void ImagePair(const std::string& name, int w, int h) {
    HalfPicture(w, h, kRed).Write(dir / (name + "1.bmp"));
    HalfPicture(w, h, kBlue).Write(dir / (name + "2.bmp"));
  }
  bool Open() {
    frame = std::make_unique<CAutoPlayFrame>();
    return frame->Create();
  }
  // A button's rectangle in the frame's client coordinates.
  RECT InFrame(const CActionButton& button) const {
    RECT rc = button.GetWindowRect();
    ::MapWindowPoints(nullptr, frame->m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }
  SIZE ClientSize() const {
    const RECT rc = frame->GetClientRect();
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
  }
  static DWORD Style(HWND h) { return static_cast<DWORD>(::GetWindowLongA(h, GWL_STYLE)); }

  TempDir dir;
  std::string savedDirectory;
  std::unique_ptr<CAutoPlayFrame> frame;
};

}  // namespace

TEST(ButtonLayoutTest, PlacesButtonsInAColumnOrAroundTheMiddle) {
  const std::vector<SIZE> three{{60, 30}, {40, 30}, {60, 30}};
  struct Case {
    bool centred;
    RECT client;
    std::vector<SIZE> sizes;
    std::vector<POINT> positions;
    int required;
  } cases[] = {
      {false, {0, 0, 400, 300}, three, {{313, 0}, {333, 30}, {313, 60}}, 93},
      {true, {0, 0, 400, 300}, three, {{333, 105}, {353, 135}, {333, 165}}, 90},
      {true, {0, 0, 400, 91}, three, {{333, 0}, {353, 30}, {333, 60}}, 90},
      {true, {0, 0, 400, 51}, three, {{333, -19}, {353, 11}, {333, 41}}, 90},  // truncated toward zero
      {false, {0, 0, 100, 10}, {{20, 5}}, {{53, 0}}, 6},
      {true, {0, 0, 100, 10}, {}, {}, 0},
  };
  for (const auto& c : cases) {
    const auto layout = CAutoPlayFrame::PlaceButtons(c.centred, c.client, c.sizes);
    ASSERT_EQ(c.positions.size(), layout.positions.size());
    for (std::size_t i = 0; i < c.positions.size(); ++i) {
      EXPECT_EQ(c.positions[i].x, layout.positions[i].x) << "centred " << c.centred << " button " << i;
      EXPECT_EQ(c.positions[i].y, layout.positions[i].y) << "centred " << c.centred << " button " << i;
    }
    EXPECT_EQ(c.required, layout.requiredHeight) << "centred " << c.centred;
  }
}

TEST_F(AutoPlayFrameTest, CentredButtonsSitOnABackgroundThatSizesTheWindow) {
  SolidPicture(400, 300, kGreen).Write(dir / "menu.bmp");
  ImagePair("a", 60, 30);
  ImagePair("b", 40, 30);
  Config(
      "[Application Info]\r\nBitmap=menu.bmp\r\nCaption=Veltrane CD-ROM\r\nCenterButtons=1\r\n"
      "[Commands]\r\n1=One\r\n2=Two\r\n3=Three\r\n"
      "[One]\r\nBitmap=a.bmp\r\nCommand=one.exe\r\n"
      "[Two]\r\nBitmap=b.bmp\r\nCommand=two.exe\r\n"
      "[Three]\r\nBitmap=a.bmp\r\nCommand=three.exe\r\n");
  ASSERT_TRUE(Open());
  EXPECT_EQ("Veltrane CD-ROM", frame->GetWindowText());
  EXPECT_TRUE(frame->IsWindowVisible());
  const SIZE client = ClientSize();
  EXPECT_EQ(400, client.cx);
  EXPECT_EQ(300, client.cy);
  const DWORD style = Style(frame->m_hWnd);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN));
  EXPECT_TRUE(style & WS_MINIMIZEBOX);

  const auto& buttons = frame->GetButtons();
  ASSERT_EQ(3u, buttons.size());
  const int tops[] = {105, 135, 165};
  const int widths[] = {60, 40, 60};
  for (std::size_t i = 0; i < 3; ++i) {
    const RECT rc = InFrame(*buttons[i]);
    EXPECT_EQ(tops[i], rc.top) << "button " << i;
    EXPECT_EQ(400 - 7, rc.right) << "button " << i;
    EXPECT_EQ(widths[i], rc.right - rc.left) << "an image button is as large as its image";
    EXPECT_EQ(30, rc.bottom - rc.top);
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), Style(buttons[i]->m_hWnd) & BS_TYPEMASK);
    EXPECT_FALSE(Style(buttons[i]->m_hWnd) & WS_BORDER);
    EXPECT_EQ(static_cast<int>(100 + i), ::GetDlgCtrlID(buttons[i]->m_hWnd));
  }
}

TEST_F(AutoPlayFrameTest, ColumnButtonsStackFromTheTopAndTheWindowGrowsToHoldThem) {
  SolidPicture(200, 50, kGreen).Write(dir / "menu.bmp");
  ImagePair("a", 60, 30);
  Config(
      "[Application Info]\r\nBitmap=menu.bmp\r\n"
      "[Commands]\r\n1=One\r\n2=One\r\n3=One\r\n"
      "[One]\r\nBitmap=a.bmp\r\nCommand=one.exe\r\n");
  ASSERT_TRUE(Open());
  const auto& buttons = frame->GetButtons();
  ASSERT_EQ(3u, buttons.size()) << "two keys with the same label give two buttons";
  const int tops[] = {0, 30, 60};
  for (std::size_t i = 0; i < 3; ++i) {
    const RECT rc = InFrame(*buttons[i]);
    EXPECT_EQ(tops[i], rc.top) << "button " << i;
    EXPECT_EQ(200 - 27, rc.right) << "button " << i;
  }
  EXPECT_EQ(93, ClientSize().cy) << "the client grew to the height the column needs";
  EXPECT_EQ(200, ClientSize().cx);
}

TEST_F(AutoPlayFrameTest, WithoutAConfigurationTheMenuHasTheDefaultTitleAndNoButtons) {
  ASSERT_TRUE(Open());
  EXPECT_EQ("Tarvo 7.5 For Windows", frame->GetWindowText());
  EXPECT_TRUE(frame->GetButtons().empty());
  EXPECT_TRUE(frame->GetBackground().IsEmpty());
  EXPECT_TRUE(LaunchApp().messages.empty());
}

TEST_F(AutoPlayFrameTest, ButtonsFollowTheCommandsInFileOrderAndSkipEmptyLabels) {
  Config(
      "[Commands]\r\nb=Second\r\na=First\r\nempty=\r\nc=Browse the CD-ROM\r\nd=browse the cd-rom\r\n"
      "[Second]\r\nCommand=x.exe\r\n[First]\r\nCommand=y.exe\r\n"
      "[Browse the CD-ROM]\r\nCommand=explorer.exe\r\n[browse the cd-rom]\r\nCommand=explorer.exe\r\n");
  ASSERT_TRUE(Open());
  const auto& buttons = frame->GetButtons();
  ASSERT_EQ(4u, buttons.size());
  EXPECT_EQ("Second", buttons[0]->GetWindowText());
  EXPECT_EQ("First", buttons[1]->GetWindowText());
  EXPECT_EQ("Browse the CD-ROM", buttons[2]->GetWindowText()) << "kept on every Windows but NT before 4.0";
  EXPECT_EQ("y.exe", buttons[1]->GetCommand());
  EXPECT_EQ(101, ::GetDlgCtrlID(buttons[1]->m_hWnd)) << "a skipped label uses up no id";
  EXPECT_EQ(102, ::GetDlgCtrlID(buttons[2]->m_hWnd));
}

TEST_F(AutoPlayFrameTest, IncompleteImagePairGivesABorderedTextButtonAboutTwiceItsLabel) {
  HalfPicture(60, 30, kRed).Write(dir / "half1.bmp");  // half2.bmp is missing
  Config("[Commands]\r\n1=Install Veltrane\r\n[Install Veltrane]\r\nBitmap=half.bmp\r\nCommand=setup.exe\r\n");
  ASSERT_TRUE(Open());
  ASSERT_EQ(1u, frame->GetButtons().size());
  CActionButton& button = *frame->GetButtons()[0];
  EXPECT_FALSE(button.IsImageButton());
  EXPECT_EQ(static_cast<DWORD>(BS_PUSHBUTTON), Style(button.m_hWnd) & BS_TYPEMASK);
  EXPECT_TRUE(Style(button.m_hWnd) & WS_BORDER);

  SIZE label{};
  {
    CClientDC dc(button.m_hWnd);
    label = dc.GetTextExtent("Install Veltrane");
  }
  const RECT rc = button.GetWindowRect();
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  EXPECT_GE(w, 2 * label.cx) << "about twice the label's width";
  EXPECT_LE(w, 2 * label.cx + 8);
  EXPECT_GE(h, 2 * label.cy);
  EXPECT_LE(h, 2 * label.cy + 8);
}

TEST_F(AutoPlayFrameTest, BackgroundThatCannotBeLoadedEndsCreationSilently) {
  BmpBuilder broken = SolidPicture(50, 50, kGreen);
  broken.cutAt = 200;
  broken.Write(dir / "broken.bmp");
  SolidPicture(50, 50, kGreen).Write(dir / "good.bmp");
  // A network path is refused by its name: this one names a good local
  // picture, through a prefix that could as well lead to a server.
  const std::string network = "\\\\?\\" + (dir / "good.bmp");
  for (const std::string& name : {std::string("missing.bmp"), std::string("broken.bmp"), network,
                                  std::string("\\\\server\\share\\menu.bmp"), std::string("//server/share/menu.bmp")}) {
    Config("[Application Info]\r\nBitmap=" + name + "\r\n[Commands]\r\n1=Exit\r\n[Exit]\r\nCommand=QuitProgram\r\n");
    EXPECT_FALSE(Open()) << name;
    EXPECT_EQ(nullptr, frame->m_hWnd);
    EXPECT_TRUE(LaunchApp().messages.empty()) << name;
  }
  Config("[Application Info]\r\nBitmap=good.bmp\r\n");
  ::SetCurrentDirectoryA(dir.path().c_str());
  EXPECT_TRUE(Open()) << "the same picture by its plain name";
}

TEST_F(AutoPlayFrameTest, AButtonPairOnANetworkPathGivesATextButton) {
  ImagePair("a", 60, 30);
  Config("[Commands]\r\n1=Local\r\n2=Remote\r\n[Local]\r\nBitmap=" + (dir / "a.bmp") +
         "\r\nCommand=one.exe\r\n[Remote]\r\nBitmap=\\\\?\\" + (dir / "a.bmp") + "\r\nCommand=two.exe\r\n");
  ASSERT_TRUE(Open());
  ASSERT_EQ(2u, frame->GetButtons().size());
  EXPECT_TRUE(frame->GetButtons()[0]->IsImageButton());
  EXPECT_FALSE(frame->GetButtons()[1]->IsImageButton());
}

TEST_F(AutoPlayFrameTest, ButtonWithoutACommandIsReportedAndEndsCreation) {
  Config("[Commands]\r\n1=Exit\r\n2=Broken\r\n[Exit]\r\nCommand=QuitProgram\r\n[Broken]\r\nBitmap=x.bmp\r\n");
  EXPECT_FALSE(Open());
  ASSERT_EQ(1u, LaunchApp().messages.size());
  EXPECT_EQ("The 'Broken' command was not given a command line to execute.", LaunchApp().messages[0]);
  EXPECT_TRUE(LaunchApp().exceptions.empty());
}

TEST_F(AutoPlayFrameTest, MouseMovesHighlightAnImageButtonAndTakeTheHighlightAway) {
  SolidPicture(300, 200, kGreen).Write(dir / "menu.bmp");
  ImagePair("a", 60, 30);
  Config(
      "[Application Info]\r\nBitmap=menu.bmp\r\nCenterButtons=1\r\n"
      "[Commands]\r\n1=One\r\n2=Two\r\n[One]\r\nBitmap=a.bmp\r\nCommand=one.exe\r\n[Two]\r\nCommand=two.exe\r\n");
  ASSERT_TRUE(Open());
  ASSERT_EQ(2u, frame->GetButtons().size());
  CActionButton& image = *frame->GetButtons()[0];
  CActionButton& text = *frame->GetButtons()[1];
  ASSERT_TRUE(image.IsImageButton());

  // What the button draws: its picture over the background, white left out.
  auto drawn = [&](int x) {
    Canvas canvas(60, 30, kGreen);
    DRAWITEMSTRUCT dis{ODT_BUTTON, 100, 0, ODA_DRAWENTIRE, 0, image.m_hWnd, canvas.dc(), RECT{0, 0, 60, 30}, 0};
    frame->SendMessage(WM_DRAWITEM, 100, reinterpret_cast<LPARAM>(&dis));
    return canvas.At(x, 15);
  };
  EXPECT_EQ(kRed, drawn(10));
  EXPECT_EQ(kGreen, drawn(50)) << "white parts show the background";

  // The pointer enters the image button: the button receives the move.
  image.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_TRUE(image.IsHighlighted());
  EXPECT_EQ(image.m_hWnd, ::GetCapture()) << "the highlighted button holds the capture";
  EXPECT_EQ(kBlue, drawn(10));
  EXPECT_EQ(kGreen, drawn(50));
  EXPECT_FALSE(text.IsHighlighted());

  // The pointer leaves: the captured button still hears it, in its own coordinates.
  image.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-50), 10));
  EXPECT_FALSE(image.IsHighlighted());
  EXPECT_NE(image.m_hWnd, ::GetCapture());
  EXPECT_EQ(kRed, drawn(10));

  // The frame hears the pointer over the text button: it highlights (capture) too.
  const RECT rc = InFrame(text);
  frame->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(rc.left + 2, rc.top + 2));
  EXPECT_TRUE(text.IsHighlighted());
  EXPECT_FALSE(image.IsHighlighted());
  frame->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_FALSE(text.IsHighlighted());
  EXPECT_EQ(nullptr, ::GetCapture());
}

TEST_F(AutoPlayFrameTest, BackgroundErasePaintsThePictureAndTheClassBackgroundAroundIt) {
  SolidPicture(100, 40, kGreen).Write(dir / "menu.bmp");
  Config(
      "[Application Info]\r\nBitmap=menu.bmp\r\n"
      "[Commands]\r\n1=One\r\n2=One\r\n3=One\r\n4=One\r\n[One]\r\nCommand=one.exe\r\n");
  ASSERT_TRUE(Open());
  const SIZE client = ClientSize();
  ASSERT_GT(client.cy, 40) << "text buttons made the window grow below the picture";
  Canvas canvas(client.cx, client.cy, RGB(1, 2, 3));
  frame->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()));
  EXPECT_EQ(kGreen, canvas.At(5, 5));
  EXPECT_EQ(::GetSysColor(COLOR_WINDOW), canvas.At(5, client.cy - 2));
}

TEST_F(AutoPlayFrameTest, QuitCommandEndsTheMessageLoopInAnyCaseAndIdsBeyond200DoNothing) {
  std::string config = "[Commands]\r\n";
  for (int i = 0; i < 102; ++i) config += std::to_string(i) + "=Exit\r\n";
  config += "[Exit]\r\nCommand=QUITPROGRAM\r\n";
  Config(config);
  ASSERT_TRUE(Open());
  ASSERT_EQ(102u, frame->GetButtons().size());
  DrainMessages();

  CActionButton& last = *frame->GetButtons()[101];
  EXPECT_EQ(201, ::GetDlgCtrlID(last.m_hWnd));
  last.SendMessage(BM_CLICK);
  EXPECT_FALSE(DrainMessages()) << "id 201 runs nothing";

  frame->GetButtons()[100]->SendMessage(BM_CLICK);
  EXPECT_TRUE(DrainMessages()) << "id 200 quits";
}

TEST_F(AutoPlayFrameTest, RelativeCommandsAreTriedInTheProgramDirectory) {
  ::CreateDirectoryA((dir / "setup").c_str(), nullptr);
  WriteFileBytes(dir / "setup\\x.exe", "");
  WriteFileBytes(dir / "readme.txt", "");
  WriteFileBytes(dir / "install.exe", "");
  const std::string programDir = dir.path() + "\\";
  struct Case {
    const char* command;
    std::string expected;
  } cases[] = {
      {"setup\\x.exe /q", "setup\\x.exe /q"},  // with its parameters no file matches
      {"setup\\x.exe", programDir + "setup\\x.exe"},
      {"readme", programDir + "readme"},
      {"install", programDir + "install"},
      {"nothere", "nothere"},
      {"nothere.exe", "nothere.exe"},
      {"explorer.exe", "explorer.exe"},
      {"C:\\windows\\notepad.exe", "C:\\windows\\notepad.exe"},
      {"\\readme.txt", "\\readme.txt"},
      {"QuitProgram", "QuitProgram"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, CAutoPlayFrame::ResolveCommand(programDir, c.command)) << c.command;
  }
  EXPECT_EQ(programDir + "click.wav", CAutoPlayFrame::ResolveSound(programDir, "click.wav"));
  EXPECT_EQ("D:\\click.wav", CAutoPlayFrame::ResolveSound(programDir, "D:\\click.wav"));
  EXPECT_EQ("\\click.wav", CAutoPlayFrame::ResolveSound(programDir, "\\click.wav"));
  EXPECT_EQ("", CAutoPlayFrame::ResolveSound(programDir, ""));
  // A sound on another machine is not played at all.
  EXPECT_EQ("", CAutoPlayFrame::ResolveSound(programDir, "\\\\server\\share\\click.wav"));
  EXPECT_EQ("", CAutoPlayFrame::ResolveSound(programDir, "//server/share/click.wav"));
}

TEST_F(AutoPlayFrameTest, AProgramFoundInACdFolderWithABlankIsQuoted) {
  const std::string cd = dir / "Veltrane CD";
  ::CreateDirectoryA(cd.c_str(), nullptr);
  WriteFileBytes(cd + "\\install.exe", "");
  WriteFileBytes(cd + "\\Read Me.txt", "");
  const std::string programDir = cd + "\\";
  const struct {
    const char* command;
    std::string expected;
  } cases[] = {
      {"install", "\"" + programDir + "install\""},
      {"install.exe", "\"" + programDir + "install.exe\""},
      {"Read Me.txt", "\"" + programDir + "Read Me.txt\""},
      {"install.exe /q", "install.exe /q"},  // not found as a whole: as written
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, CAutoPlayFrame::ResolveCommand(programDir, c.command)) << c.command;
  }
  // The shell takes such a document whole, though it is not quoted.
  const CAutoPlayFrame::SplitCommandLine document = CAutoPlayFrame::SplitCommand(programDir + "Read Me.txt");
  EXPECT_EQ(programDir + "Read Me.txt", document.program);
  EXPECT_EQ("", document.parameters);
}

TEST(CommandSplitTest, TheShellGetsTheProgramAndItsParametersApart) {
  const struct {
    const char* command;
    const char* program;
    const char* parameters;
  } cases[] = {
      {"setup.exe", "setup.exe", ""},
      {"setup\\x.exe /q", "setup\\x.exe", "/q"},
      {"  setup.exe \t /B /D:C:\\kit", "setup.exe", "/B /D:C:\\kit"},
      {"\"D:\\Veltrane CD\\_setupx.exe\"", "D:\\Veltrane CD\\_setupx.exe", ""},
      {"\"D:\\Veltrane CD\\_setupx.exe\" /B", "D:\\Veltrane CD\\_setupx.exe", "/B"},
      {"\"D:\\Veltrane CD\\_setupx.exe\"/B", "D:\\Veltrane CD\\_setupx.exe", "/B"},
      {"\"D:\\no end quote /B", "D:\\no end quote /B", ""},
      {"\"\"", "", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    const CAutoPlayFrame::SplitCommandLine split = CAutoPlayFrame::SplitCommand(c.command);
    EXPECT_EQ(c.program, split.program) << "[" << c.command << "]";
    EXPECT_EQ(c.parameters, split.parameters) << "[" << c.command << "]";
  }
}
