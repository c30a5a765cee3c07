// Support for tests that drive the wizard through real windows: an
// application object with a background window and a data model, a
// scratch folder with a setup profile, and a user who answers the modal
// boxes (message boxes, the error dialog) from a second thread.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/FrameWnd.h"
#include "setup/app/SetupApp.h"
#include "setup/app/tests/TestSystemActions.h"

class CWizard;
class CWizardPage;

// The application of a test: becomes the current one for its lifetime;
// its system actions touch nothing (Windows 5 unless a test says otherwise).
class CWizardTestApp : public CSetupApp {
public:
  CWizardTestApp();
  ~CWizardTestApp() override;

  LRESULT ProcessWndProcException(CException& e, const MSG* msg) override;

  // Creates the background window as the main window.
  void CreateMainWindow();
  bool MainWindowGone() const { return !mainWindow_.m_hWnd; }

  std::vector<std::string> handled;  // exceptions that reached the handler
  CTestSystemActions& system;        // what the run asked of the machine

private:
  CFrameWnd mainWindow_;
};

// A modal box as the user saw it.
struct SeenBox {
  std::string caption;
  std::string text;         // a message box's text
  std::string information;  // the error dialog's error-information line
  std::map<int, std::string> controls;  // every control's text by its id
};

// Answers every modal box that the test's thread shows, with the buttons
// given in order (IDCANCEL once they run out), and records what it saw.
// beforeAnswer, when given, acts on each box (on the user's thread) after
// it has been recorded and before it is answered.
class CScriptedUser {
public:
  using BoxAction = std::function<void(HWND box)>;
  explicit CScriptedUser(std::vector<int> answers = {}, BoxAction beforeAnswer = {});
  ~CScriptedUser();
  CScriptedUser(const CScriptedUser&) = delete;
  CScriptedUser& operator=(const CScriptedUser&) = delete;

  std::vector<SeenBox> Seen();

private:
  void Run();

  DWORD testThread_;
  std::vector<int> answers_;
  BoxAction beforeAnswer_;
  std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Base fixture: a fresh application, background window and scratch folder
// for every test; the pages are destroyed afterwards. What the pages ask of
// the machine is only recorded (CWizardTestApp::system).
class WizardTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the setup profile of the test (destinations, groups, targets,
  // diskettes, the groups' sections) into the scratch folder;
  // withDestinations false leaves the [destinations] section out. A test
  // gives its files as groupSections: a section appended after the empty
  // one would never be read (a section written twice answers with its
  // first).
  static constexpr const char* kNoFiles = "[program]\r\n[samples]\r\n";
  void WriteProfile(bool withDestinations = true, const std::string& groupSections = kNoFiles);

  // Dispatches every waiting message (the page work included).
  static void Settle();
  // The wizard of the test's application.
  CWizard& wizard() const { return app_->Wizard(); }
  // The page shown now; 0 when none is shown.
  int CurrentPageId() const;
  CWizardPage* Page(int id) const;
  // The control of the page or of its button bar.
  HWND Control(int pageId, int controlId) const;
  // Clicks a button the way the user does: it must be visible and enabled.
  void Click(int pageId, int controlId) const;
  void PressEscape(int pageId) const;
  void Type(int pageId, int controlId, const std::string& text) const;
  static std::string TextOf(HWND wnd);
  std::string ControlText(int pageId, int controlId) const { return TextOf(Control(pageId, controlId)); }

  std::string scratch_;  // ends with '\'
  std::unique_ptr<CWizardTestApp> app_;
};
