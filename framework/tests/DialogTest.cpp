#include <gtest/gtest.h>

#include "FrameworkTestIds.h"
#include "TestApp.h"
#include "framework/Dialog.h"

namespace {

constexpr UINT kTypeAndConfirm = WM_APP + 10;

class DataDialog : public CDialog {
public:
  DataDialog() : CDialog(IDD_DATA_DIALOG) {}

  std::string name = "initial name";
  int agree = 1;
  int messagesBeforeInit = 0;
  bool initialised = false;
  bool throwInInit = false;
  std::string typedText;  // typed by kTypeAndConfirm, then OK is pressed

protected:
  void DoDataExchange(CDataExchange& dx) override {
    DDX_Text(dx, IDC_NAME_EDIT, name);
    DDX_Check(dx, IDC_AGREE_CHECK, agree);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    initialised = true;
    if (throwInInit) throw CResourceException();
    if (!typedText.empty()) PostMessage(kTypeAndConfirm);
    return TRUE;
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (!initialised && message != WM_INITDIALOG) ++messagesBeforeInit;
    if (message == kTypeAndConfirm) {
      SetDlgItemText(IDC_NAME_EDIT, typedText);
      ::SendDlgItemMessageA(m_hWnd, IDC_AGREE_CHECK, BM_CLICK, 0, 0);  // uncheck, as a click does
      ::SendMessageA(GetDlgItem(IDOK), BM_CLICK, 0, 0);
      return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
  }
};

class DialogTest : public ::testing::Test {
protected:
  void SetUp() override { TestApp().handled.clear(); }
  void TearDown() override { DrainMessages(); }
};

}  // namespace

TEST_F(DialogTest, ModalDialogExchangesDataBothWays) {
  DataDialog dialog;
  dialog.typedText = "typed by the user";
  EXPECT_EQ(IDOK, dialog.DoModal());
  EXPECT_EQ("typed by the user", dialog.name);
  EXPECT_EQ(0, dialog.agree);
  EXPECT_GT(dialog.messagesBeforeInit, 0) << "messages before WM_INITDIALOG reach the object";
  EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST_F(DialogTest, ModelessDialogShowsMembersAndTakesThemBackOnOk) {
  DataDialog dialog;
  ASSERT_TRUE(dialog.Create());
  EXPECT_FALSE(dialog.IsModal());
  EXPECT_EQ("initial name", dialog.GetDlgItemText(IDC_NAME_EDIT));
  EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dialog.m_hWnd, IDC_AGREE_CHECK));

  dialog.SetDlgItemText(IDC_NAME_EDIT, "new name");
  HWND h = dialog.m_hWnd;
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDOK)));
  EXPECT_EQ("new name", dialog.name);
  EXPECT_FALSE(::IsWindow(h)) << "a modeless dialog is destroyed by OK";
}

TEST_F(DialogTest, EscapeKeyCancelsAModelessDialogThroughTheMessageLoop) {
  DataDialog dialog;
  ASSERT_TRUE(dialog.Create());
  dialog.ShowWindow(SW_SHOW);
  HWND edit = dialog.GetDlgItem(IDC_NAME_EDIT);
  ::SetFocus(edit);
  dialog.SetDlgItemText(IDC_NAME_EDIT, "discarded");
  HWND h = dialog.m_hWnd;
  ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  DrainMessages();
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_EQ("initial name", dialog.name) << "Cancel takes nothing from the controls";
}

TEST_F(DialogTest, EscapeReachesTheOwnedModelessDialogNotItsOwner) {
  DataDialog owner;
  ASSERT_TRUE(owner.Create());
  DataDialog owned;
  ASSERT_TRUE(owned.Create(0, &owner));
  owner.ShowWindow(SW_SHOW);
  owned.ShowWindow(SW_SHOW);
  HWND edit = owned.GetDlgItem(IDC_NAME_EDIT);
  ::SetFocus(edit);
  HWND ownedHandle = owned.m_hWnd;
  ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  DrainMessages();
  EXPECT_FALSE(::IsWindow(ownedHandle));
  EXPECT_TRUE(::IsWindow(owner.m_hWnd));
  owner.DestroyWindow();
}

TEST_F(DialogTest, ExceptionDuringInitialisationReachesTheApplication) {
  DataDialog dialog;
  dialog.throwInInit = true;
  ASSERT_TRUE(dialog.Create());
  ASSERT_EQ(1u, TestApp().handled.size());
  EXPECT_EQ("CResourceException", TestApp().handled[0]);
  dialog.DestroyWindow();
}
