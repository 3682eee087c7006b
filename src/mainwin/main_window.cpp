#include "mainwin/main_window.h"

#include <array>

#include "browser/command_hookup.h"
#include "browser/window_placement.h"
#include "catalogue/personal_lists.h"
#include "catalogue/site_config.h"
#include "companion/window_companion_host.h"
#include "mainwin/about_window.h"
#include "skin/skin_list_ctrl.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/template_file.h"
#include "windows/personal_list_window.h"
#include "windows/resource_window.h"
#include "windows/search_window.h"
#include "windows/web_window.h"

namespace tavelo {

namespace {

constexpr std::string_view kCaption = kProductCaption;
constexpr const char* kSearchPlaceholder = "输入视频,演员名称,搜索视频";

struct NavButton {
  int id;
  const char* caption;
};

// Top to bottom, as the column shows them.
constexpr std::array<NavButton, 13> kNavButtons = {{
    {MainWindow::kRecommended, "推荐视频"},
    {MainWindow::kP2p, "讯雷(P2P)种子"},
    {MainWindow::kSeries, "连续剧"},
    {MainWindow::kMovies, "电  影"},
    {MainWindow::kVariety, "综  艺"},
    {MainWindow::kAnime, "动  漫"},
    {MainWindow::kDocumentaries, "记录片"},
    {MainWindow::kLiveTv, "电视直播"},
    {MainWindow::kLiveShows, "美女直播"},
    {MainWindow::kFavourites, "我的收藏"},
    {MainWindow::kHistory, "观看记录"},
    {MainWindow::kProblemReport, "问题报告"},
    {MainWindow::kAbout, "关于软件"},
}};

// The buttons of which one at a time is shown selected.
constexpr std::array<int, 9> kSelectionGroup = {
    MainWindow::kDocumentaries, MainWindow::kP2p,        MainWindow::kVariety,
    MainWindow::kRecommended,   MainWindow::kFavourites, MainWindow::kSeries,
    MainWindow::kHistory,       MainWindow::kMovies,     MainWindow::kAnime};

struct Category {
  int id;
  const char* key;
  const char* fallbackSearch;
};

constexpr std::array<Category, 5> kCategories = {{
    {MainWindow::kSeries, "[Y_LXJ]", "连续剧"},
    {MainWindow::kMovies, "[Y_DY]", "电影"},
    {MainWindow::kVariety, "[Y_ZY]", "综艺"},
    {MainWindow::kAnime, "[Y_DM]", "动漫"},
    {MainWindow::kDocumentaries, "[Y_JLP]", "纪录片"},
}};

constexpr int kNavLeft = 3;
constexpr int kNavTop = 30;
constexpr int kNavWidth = 120;
constexpr int kNavHeight = 28;
constexpr int kContentLeft = 128;
constexpr int kContentTop = 28;
constexpr int kPanelHeight = 44;

}  // namespace

std::string WithPageVersion(const std::string& address, int version) {
  return address + (address.find('?') == std::string::npos ? "?" : "&") + "v=" +
         std::to_string(version);
}

MainWindow::MainWindow(const WindowSet::Slot& slot, const CatalogueStore& catalogue, MainWindowSetup setup)
    : BrowserWindow(slot), catalogue_(catalogue), setup_(std::move(setup)) {
  Host().SetCaption(Gbk(kCaption));
  Host().AddSystemMenuItem(kAboutCommand, Gbk("关于 Tavelo(&A)..."));
  CreateControls();

  PlaceOverWorkArea(Host());
  edit_->SetText(Gbk(kSearchPlaceholder));
  layoutReady_ = true;
  Layout();
  Host().Show();
  if (setup_.startDataUpdate) updater_.Start(Results(), Paths());
  // The first page is loaded after the two start timers; the engine starts
  // under them instead of after them.
  browser_->Prepare(ModePageAddress(ContentMode::kRecommendedPage));
  Host().StartTimer(kStartTimer, 100);
}

MainWindow::~MainWindow() { Windows().CloseAll(); }

void MainWindow::CreateControls() {
  for (const NavButton& button : kNavButtons) {
    port::FlatButton* control = Host().AddFlatButton(button.id, Gbk(button.caption));
    control->on_click = [this, id = button.id] { OnNavButton(id); };
    navButtons_[button.id] = control;
  }
  edit_ = Host().AddEdit(kSearchEdit);
  edit_->on_enter = [this] { SearchFromBox(); };
  NameSearchBox(*edit_);
  searchButton_ = Host().AddFaceButton(kSearchButton, Gbk("搜索"));
  searchButton_->on_click = [this] { SearchFromBox(); };
  panel_ = Host().AddInfoPanel(kInfoPanel);
  panel_->on_click = [this] { SearchFromPanel(); };

  list_ = Host().AddList(kList);
  list_->SetSkin({.columnCount = 4, .rowStyle = SkinListCtrl::kCatalogueRows});
  list_->SetColumns({{Gbk("分类"), 48}, {Gbk("视频名称"), 300}, {Gbk("播放视频"), 100}, {Gbk("收藏视频"), 100}});
  // The rows are as tall as the 56-pixel pictures of the list's image list.
  list_->SetRowHeight(56);
  list_->on_click = [this](port::ListHit hit) { OnListClick(hit, false); };
  list_->on_double_click = [this](port::ListHit hit) { OnListClick(hit, true); };

  browser_ = &AddBrowser(kBrowser, StatusFrame::kWhite);
  AttachCommandProtocol(*browser_, Windows(), CommandHookup(this, Paths().Template()));

  Host().on_resize = [this](Size) { Layout(); };
  Host().on_timer = [this](int id) { OnTimer(id); };
  Host().on_system_command = [this](int id) {
    if (id >= kAboutCommand && id <= 31) ShowAbout();
  };
  AnswerSearchKeys(*edit_);
}

// Enter outside the search box and Escape would end a dialog; here they do nothing.
bool MainWindow::OnOtherKey(port::Key key) { return key == port::Key::kEscape || key == port::Key::kEnter; }

void MainWindow::Layout() {
  if (!layoutReady_) return;
  const Size client = Host().ClientSize();
  int top = kNavTop;
  for (const NavButton& button : kNavButtons) {
    navButtons_[button.id]->SetBounds(Rect::FromSize(kNavLeft, top, kNavWidth, kNavHeight));
    top += kNavHeight;
  }
  searchButton_->SetBounds(Rect::FromSize(client.width - 65, 3, 60, 22));
  int editLeft = std::max(client.width - 418, kContentLeft);
  edit_->SetBounds(Rect{editLeft, 3, client.width - 68, 25});

  const Rect content{kContentLeft, kContentTop, client.width, client.height};
  if (mode_ != ContentMode::kList) {
    browser_->View().SetBounds(content);
    browser_->View().SetVisible(true);
    panel_->SetVisible(false);
    list_->SetVisible(false);
  } else {
    panel_->SetBounds(Rect{content.left, content.bottom - kPanelHeight, content.right, content.bottom});
    panel_->SetVisible(true);
    list_->SetBounds(Rect{content.left, content.top, content.right, content.bottom - 47});
    list_->SetVisible(true);
    // Hidden, so that no screen reader reads it; a category page may still load in it.
    browser_->View().SetVisible(false);
  }
}

void MainWindow::SelectNavButton(int id) {
  for (int member : kSelectionGroup) navButtons_[member]->SetSelected(member == id ? 1 : 0);
}

void MainWindow::OnNavButton(int id) {
  switch (id) {
    case kRecommended:
      ShowWebMode(ContentMode::kRecommendedPage, id);
      return;
    case kP2p:
      ShowWebMode(ContentMode::kP2pPage, id);
      return;
    case kLiveTv:
      RunLiveTv();
      return;
    case kLiveShows:
      RelaunchLiveShows(*this);
      return;
    case kProblemReport:
      OpenProblemReport();
      return;
    case kAbout:
      ShowAbout();
      return;
    case kFavourites:
    case kHistory:
      OpenPersonalListWindow(Windows(), id == kFavourites ? PersonalListKind::kFavourites : PersonalListKind::kHistory,
                             *this);
      return;
    default:
      OnCategory(id);
  }
}

void MainWindow::ShowWebMode(ContentMode mode, int id) {
  SelectNavButton(id);
  mode_ = mode;
  Layout();
  ShowStatusPage(*browser_, StatusFrame::kWhite,
                 Gbk("<font color=#6699ff>数据加载中,请稍候....</font><br><font color=green>Loading...</font>"));
  Host().StartTimer(kModePageTimer, 200);
}

std::string MainWindow::ModePageAddress(ContentMode mode) const {
  if (mode == ContentMode::kRecommendedPage) return TemplateValue(Paths().Template(), "[MAIN_URL2]");
  if (mode == ContentMode::kP2pPage) return TemplateValue(Paths().Template(), "[P2P_URL2]");
  return "";
}

void MainWindow::ShowModePage() {
  const std::string address = ModePageAddress(mode_);
  if (address.empty()) {
    OnCategory(kSeries);
    return;
  }
  browser_->Navigate(WithPageVersion(address, kPageVersion));
}

int MainWindow::OpenCategory(const std::string& key) {
  std::string address = TemplateValue(Paths().Template(), key);
  if (address.empty()) return 0;
  browser_->Navigate(address);
  return 1;
}

void MainWindow::OnCategory(int id) {
  for (const Category& category : kCategories) {
    if (category.id != id) continue;
    SelectNavButton(id);
    if (OpenCategory(category.key) == 1) return;
    mode_ = ContentMode::kList;
    Layout();
    OpenSearch(Gbk(category.fallbackSearch));
    return;
  }
}

void MainWindow::RunLiveTv() {
  std::string command = TemplateValue(Paths().Template(), "[TV]");
  if (command.empty()) {
    const std::string page = CatalogueServer(Paths().Template()) + "/tj_tavelo/tv/play.asp";
    command = page + "?cmd=TVPLAY|" + page + Gbk("|在线电视播放|NONEWWINDOW#TOPMOST|950|560|");
  }
  RelaunchPlay(command, *this);
}

void MainWindow::OpenProblemReport() {
  std::string address = TemplateValue(Paths().Template(), "[LY_URL]");
  if (address.empty()) address = MakerSite(Paths().Template()) + "/club/addjy.asp?soft=" + Gbk(kCaption);
  OpenWebWindow(Windows(), CommandHookup(this, Paths().Template()), address);
}

void MainWindow::ShowAbout() {
  ShowAboutWindow(Windows(), {catalogue_.TotalRecordCount(), updater_.VideoNewCount(),
                              updater_.P2pNewCount()});
}

void MainWindow::SearchFromBox() {
  std::string keyword(Trim(edit_->Text()));
  if (keyword == Gbk(kSearchPlaceholder)) {
    ShowMessage(Gbk("输入搜索关键字,多个条件用空格分开"));
    return;
  }
  OpenSearch(keyword);
}

void MainWindow::SearchFromPanel() {
  std::string word = panel_->WordAtCursor();
  if (word.empty()) return;
  edit_->SetText(word);
  OpenSearch(word);
}

void MainWindow::OnListClick(port::ListHit hit, bool doubleClick) {
  const int row = list_->FirstSelectedRow();
  if (row < 0) return;
  auto cell = [&](int column) { return list_->Cell(row, column); };
  if (doubleClick) {
    OpenVideo(cell(0), cell(1), cell(2));
  } else if (hit.row >= 0 && hit.column == 2) {
    OpenVideo(cell(0), cell(1), cell(2));
  } else if (hit.row >= 0 && hit.column == 3) {
    ShowMessage(AddToFavourites(cell(0), cell(1)));
  }
  panel_->ShowRecordInfo(cell(1));
}

void MainWindow::OnTimer(int id) {
  if (id == kStartTimer) {
    Host().KillTimer(kStartTimer);
    OnNavButton(kRecommended);
    if (setup_.firstRunSetup) {
      RunFirstRunSetup(setup_.firstRun, [this](const std::string& text) {
        return Platform().AskYesNo(&Host(), text, Gbk(kCaption));
      });
    }
  } else if (id == kModePageTimer) {
    Host().KillTimer(kModePageTimer);
    ShowModePage();
  }
}

void MainWindow::OpenVideo(const std::string& name, const std::string& record, const std::string& label) {
  const std::string templatePath = Paths().Template();
  if (NamesResourceSite(record, {ResourceSiteDomain(1, templatePath), ResourceSiteDomain(2, templatePath)})) {
    OpenResourceWindow(Windows(), name, record, label);
    return;
  }
  OpenPlayWindow(Windows(), *this, name, record, label);
}

void MainWindow::OpenSearch(const std::string& keyword) {
  tavelo::OpenSearch(Windows(), *this, keyword);
}

void MainWindow::StartCompanion(const std::string& displayName, const std::string& productKey,
                                const std::string& programFile) {
  // The command arrives while the browser decides on a navigation; the
  // installer's modal windows run after that decision, not inside it.
  Host().Post([this, program = CompanionProgram{displayName, productKey, programFile}] {
    WindowCompanionHost companionHost(Windows(), &Host(), Gbk(kCaption));
    CompanionPlaces places = CompanionPlaces::ForProgram(Paths().folder);
    places.registryDirectory = setup_.firstRun.registryDirectory;
    tavelo::StartCompanion(program, places, companionHost);
  });
}

void MainWindow::ShowMessage(const std::string& text) { Platform().MessageBox(&Host(), text, Gbk(kCaption)); }

void MainWindow::StartProcess(const std::vector<std::string>& argv) { Platform().StartProcess(argv); }

std::string MainWindow::AddToFavourites(const std::string& name, const std::string& record) {
  return AddToFavouritesList(Paths(), name, record);
}

}  // namespace tavelo
