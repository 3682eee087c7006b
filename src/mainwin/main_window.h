#pragma once
// The portal: a column of navigation buttons, a search box and a content
// area that shows the catalogue server's pages in a browser, or a list with
// an information panel. It carries out the page commands of its browser and
// owns the two operations other windows call: OpenVideo and AddToFavourites.

#include <map>
#include <string>

#include "browser/browser_window.h"
#include "browser/command_protocol.h"
#include "catalogue/catalogue_store.h"
#include "mainwin/data_updater.h"
#include "mainwin/first_run_setup.h"
#include "playback/play_window.h"

namespace tavelo {

struct MainWindowSetup {
  // Where first-run setup puts the entries and the installed-program record.
  FirstRunPaths firstRun;
  // First-run setup runs for a portable program only: an installed one got
  // its menu entry from its package, and the package manager removes it.
  bool firstRunSetup = true;
  // The update thread is started unless a test says otherwise.
  bool startDataUpdate = true;
};

class MainWindow : public BrowserWindow, public CommandTarget, public PlayWindowOwner {
 public:
  enum ControlId {
    kRecommended = 1014,
    kP2p = 1029,
    kSeries = 1015,
    kMovies = 1016,
    kVariety = 1017,
    kAnime = 1018,
    kDocumentaries = 1019,
    kLiveTv = 1027,
    kLiveShows = 1020,
    kFavourites = 1023,
    kHistory = 1022,
    kProblemReport = 1028,
    kAbout = 1012,
    kSearchEdit = 1024,
    kSearchButton = 1025,
    kInfoPanel = 1026,
    kList = 1021,
    kBrowser = 1011,
  };
  static constexpr int kAboutCommand = 16;
  static constexpr int kStartTimer = 3;
  static constexpr int kModePageTimer = 1;
  static constexpr int kPageVersion = 108;

  MainWindow(const WindowSet::Slot& slot, const CatalogueStore& catalogue, MainWindowSetup setup);
  // The other windows carry out their pages' commands through this one:
  // they close with it.
  ~MainWindow() override;

  void OpenVideo(const std::string& name, const std::string& record, const std::string& label) override;
  void OpenSearch(const std::string& keyword) override;
  void StartCompanion(const std::string& displayName, const std::string& productKey,
                      const std::string& programFile) override;
  void ShowMessage(const std::string& text) override;
  void StartProcess(const std::vector<std::string>& argv) override;
  std::string AddToFavourites(const std::string& name, const std::string& record) override;

  // What the content area shows: the catalogue list, or one of the two web
  // pages the navigation buttons open.
  enum class ContentMode { kList, kRecommendedPage, kP2pPage };
  ContentMode Mode() const { return mode_; }

 private:
  bool OnOtherKey(port::Key key) override;
  void CreateControls();
  void Layout();
  void SelectNavButton(int id);
  // The template's address of a web mode's page; "" for the list.
  std::string ModePageAddress(ContentMode mode) const;
  void ShowModePage();
  int OpenCategory(const std::string& key);
  void OnNavButton(int id);
  void ShowWebMode(ContentMode mode, int id);
  void OnCategory(int id);
  void RunLiveTv();
  void OpenProblemReport();
  void ShowAbout();
  void SearchFromBox();
  void SearchFromPanel();
  void OnListClick(port::ListHit hit, bool doubleClick);
  void OnTimer(int id);

  const CatalogueStore& catalogue_;
  MainWindowSetup setup_;
  ContentMode mode_ = ContentMode::kList;
  bool layoutReady_ = false;
  std::map<int, port::FlatButton*> navButtons_;
  port::FaceButton* searchButton_ = nullptr;
  port::Edit* edit_ = nullptr;
  port::InfoPanel* panel_ = nullptr;
  port::ListView* list_ = nullptr;
  CWebBrowser2* browser_ = nullptr;
  DataUpdater updater_;
};

// "v=108" joined to the address with "?" or "&".
std::string WithPageVersion(const std::string& address, int version);

}  // namespace tavelo
