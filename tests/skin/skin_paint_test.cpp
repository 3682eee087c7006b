#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fakes/fake_skin_host.h"
#include "skin/skin_paint.h"
#include "text/encoding.h"

namespace tavelo {

// Readable colours in failure messages.
inline void PrintTo(const Rgb& c, std::ostream* os) { *os << "RGB(" << +c.r << "," << +c.g << "," << +c.b << ")"; }

namespace {

using fakes::FakeSkinHost;

// An RGB24 image surface to paint into, pre-filled with a colour no painter
// uses. At `scale` 2 it is a HiDPI window's: painters draw in the same
// coordinates, on twice the pixels; At and Count read those pixels.
class Canvas {
 public:
  static constexpr Rgb kUntouched{1, 2, 3};

  Canvas(int width, int height, int scale = 1)
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width * scale, height * scale)),
        cr_((cairo_surface_set_device_scale(surface_.get(), scale, scale), cairo_create(surface_.get()))) {
    cairo_set_source_rgb(cr_.get(), kUntouched.r / 255.0, kUntouched.g / 255.0, kUntouched.b / 255.0);
    cairo_paint(cr_.get());
  }
  cairo_t* cr() { return cr_.get(); }
  int Width() const { return cairo_image_surface_get_width(surface_.get()); }
  int Height() const { return cairo_image_surface_get_height(surface_.get()); }

  Rgb At(int x, int y) {
    cairo_surface_flush(surface_.get());
    return PixelOf(surface_.get(), x, y);
  }
  static Rgb PixelOf(cairo_surface_t* s, int x, int y) {
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    std::uint32_t v = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  }
  // Pixels in `box` within `tolerance` per channel of `colour`.
  int Count(Rect box, Rgb colour, int tolerance = 24) {
    int n = 0;
    for (int y = std::max(box.top, 0); y < std::min(box.bottom, Height()); ++y) {
      for (int x = std::max(box.left, 0); x < std::min(box.right, Width()); ++x) {
        Rgb p = At(x, y);
        if (std::abs(p.r - colour.r) <= tolerance && std::abs(p.g - colour.g) <= tolerance &&
            std::abs(p.b - colour.b) <= tolerance)
          ++n;
      }
    }
    return n;
  }

 private:
  SurfacePtr surface_;
  CairoPtr cr_;
};

TEST(PicturesTest, AllPicturesLoadAtTheirSizes) {
  struct Case {
    int id, width, height;
  } cases[] = {{224, 300, 22}, {225, 300, 22}, {226, 300, 22}, {177, 32, 32},
               {231, 32, 32},  {230, 16, 16},  {128, 128, 128}};
  for (const Case& c : cases) {
    SurfacePtr p = LoadPicture(c.id);
    ASSERT_TRUE(p) << c.id;
    EXPECT_EQ(cairo_image_surface_get_width(p.get()), c.width) << c.id;
    EXPECT_EQ(cairo_image_surface_get_height(p.get()), c.height) << c.id;
  }
  EXPECT_FALSE(LoadPicture(999));
}

// The application icon drawn small, as the About box shows it: each part
// of the picture lands where its place scales to.
TEST(PicturePaintTest, ScalesThePictureIntoItsBox) {
  cairo_surface_t* icon = SharedPicture(128);
  ASSERT_NE(icon, nullptr);
  Canvas canvas(50, 50);
  PaintPicture(canvas.cr(), Rect::FromSize(10, 10, 31, 31), icon);
  struct Case {
    const char* name;
    int x, y;  // in the 128-pixel picture
  } cases[] = {{"red quarter", 20, 20}, {"green quarter", 108, 20}, {"blue quarter", 20, 108},
               {"yellow quarter", 108, 108}, {"play triangle", 64, 64}, {"dark square", 40, 40}};
  for (const Case& c : cases) {
    Rgb want = Canvas::PixelOf(icon, c.x, c.y);
    int x = 10 + c.x * 31 / 128, y = 10 + c.y * 31 / 128;
    EXPECT_EQ(canvas.Count({x, y, x + 1, y + 1}, want, 40), 1) << c.name;
  }
  EXPECT_EQ(canvas.At(9, 20), Canvas::kUntouched);
  EXPECT_EQ(canvas.At(41, 20), Canvas::kUntouched);
  EXPECT_EQ(canvas.At(20, 41), Canvas::kUntouched);
}

TEST(FlatTextButtonPaintTest, ColoursPerState) {
  struct Case {
    const char* name;
    int selected;
    bool hover;
    Rgb fill, text;
  } cases[] = {
      {"normal", 0, false, kFlatFill, kFlatText},
      {"hover", 0, true, kFlatFill, kFlatHoverText},
      {"selected", 1, false, kFlatSelectedFill, kFlatSelectedText},
      {"selected and hovered", 1, true, kFlatSelectedFill, kFlatSelectedText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSkinHost host;
    host.size = {80, 24};
    FlatTextButton button(host);
    button.SetText(Gbk("电视剧"));
    button.SetSelected(c.selected);
    button.OnMouseMove(c.hover ? Point{5, 5} : Point{-5, -5});
    Canvas canvas(80, 24);
    PaintFlatTextButton(canvas.cr(), host.size, button);
    EXPECT_EQ(canvas.At(0, 0), c.fill);
    EXPECT_EQ(canvas.At(79, 23), c.fill);
    EXPECT_EQ(canvas.At(40, 1), c.fill);
    EXPECT_EQ(canvas.Count({0, 0, 80, 24}, Canvas::kUntouched, 0), 0);
    // The text is centred: its colour shows in the middle, not at the ends.
    EXPECT_GT(canvas.Count({20, 4, 60, 20}, c.text, 40), 10);
    EXPECT_EQ(canvas.Count({0, 0, 15, 24}, c.text, 40), 0);
  }
}

// A face whose every column has its own colour, so the column mapping shows.
SurfacePtr ColumnCodedFace() {
  SurfacePtr face(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kFaceWidth, kFaceHeight));
  cairo_surface_flush(face.get());
  unsigned char* data = cairo_image_surface_get_data(face.get());
  int stride = cairo_image_surface_get_stride(face.get());
  for (int y = 0; y < kFaceHeight; ++y) {
    for (int x = 0; x < kFaceWidth; ++x) {
      std::uint32_t v = (static_cast<std::uint32_t>(x & 0xFF) << 16) | (static_cast<std::uint32_t>(x >> 8) << 8) | 77;
      *reinterpret_cast<std::uint32_t*>(data + y * stride + x * 4) = v;
    }
  }
  cairo_surface_mark_dirty(face.get());
  return face;
}

int ColumnOf(Rgb p) { return p.b == 77 ? p.r + (p.g << 8) : -1; }

TEST(FaceBitmapButtonPaintTest, SplitCopiesLeftHalfAndRightEndUnscaled) {
  SurfacePtr face = ColumnCodedFace();
  FacePictures faces{face.get(), face.get(), face.get()};
  struct Case {
    int width;
  } cases[] = {{101}, {100}, {2}, {300}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    Canvas canvas(c.width + 10, 30);
    PaintFaceBitmapButton(canvas.cr(), Rect::FromSize(5, 4, c.width, 22), 0, false, "", faces);
    int half = c.width / 2;
    for (int x = 0; x < c.width; ++x) {
      int expected = x < half ? x : kFaceWidth - (c.width - half) + (x - half);
      ASSERT_EQ(ColumnOf(canvas.At(5 + x, 4)), expected) << "button column " << x;
      ASSERT_EQ(ColumnOf(canvas.At(5 + x, 25)), expected) << "button column " << x;
    }
    EXPECT_EQ(canvas.At(4, 10), Canvas::kUntouched);
    EXPECT_EQ(canvas.At(5 + c.width, 10), Canvas::kUntouched);
  }
}

TEST(FaceBitmapButtonPaintTest, For101PixelsFiftyFromLeftFiftyOneFromRight) {
  SurfacePtr face = ColumnCodedFace();
  FacePictures faces{face.get(), face.get(), face.get()};
  Canvas canvas(101, 22);
  PaintFaceBitmapButton(canvas.cr(), Rect::FromSize(0, 0, 101, 22), 0, false, "", faces);
  EXPECT_EQ(ColumnOf(canvas.At(49, 0)), 49);
  EXPECT_EQ(ColumnOf(canvas.At(50, 0)), 249);
  EXPECT_EQ(ColumnOf(canvas.At(100, 0)), 299);
}

TEST(FaceBitmapButtonPaintTest, TallAndOverWideButtonsKeepBackgroundWherePictureEnds) {
  SurfacePtr face = ColumnCodedFace();
  FacePictures faces{face.get(), face.get(), face.get()};
  Canvas canvas(700, 40);
  PaintFaceBitmapButton(canvas.cr(), Rect::FromSize(0, 0, 700, 40), 0, false, "", faces);
  EXPECT_EQ(canvas.At(10, 30), kFaceBackground);  // below the 22 picture rows
  EXPECT_EQ(canvas.At(320, 5), kFaceBackground);  // left half past column 299
  EXPECT_EQ(ColumnOf(canvas.At(699, 5)), 299);
  // The right end starts where the picture's column 0 lands, 300 from the edge.
  EXPECT_EQ(ColumnOf(canvas.At(400, 5)), 0);
  EXPECT_EQ(canvas.At(399, 5), kFaceBackground);
}

TEST(FaceBitmapButtonPaintTest, FacesAndTextColoursByState) {
  FacePictures faces = FacePictures::Shared();
  ASSERT_TRUE(faces.normal && faces.hot && faces.disabled);
  struct Case {
    const char* name;
    int state;
    bool disabled;
    cairo_surface_t* face;
    Rgb text;
  } cases[] = {
      {"normal", 0, false, faces.normal, kFaceNormalText},
      {"state 1 drawn as normal", 1, false, faces.normal, kFaceNormalText},
      {"hot", 2, false, faces.hot, kFaceHotText},
      {"disabled", 0, true, faces.disabled, kFaceDisabledText},
      {"disabled while hot", 2, true, faces.disabled, kFaceDisabledText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(80, 22);
    PaintFaceBitmapButton(canvas.cr(), Rect::FromSize(0, 0, 80, 22), c.state, c.disabled, Gbk("搜索"), faces);
    // Top and bottom rows, corners and middle, come from the chosen face.
    for (int x : {0, 1, 39, 40, 79}) {
      int faceX = x < 40 ? x : kFaceWidth - 40 + (x - 40);
      EXPECT_EQ(canvas.At(x, 0), Canvas::PixelOf(c.face, faceX, 0)) << x;
      EXPECT_EQ(canvas.At(x, 21), Canvas::PixelOf(c.face, faceX, 21)) << x;
    }
    EXPECT_GT(canvas.Count({25, 3, 55, 19}, c.text, 30), 5);
  }
}

TEST(InfoTagPanelPaintTest, LabelsBlackValuesBlueOnGreyBackground) {
  FakeSkinHost host;
  InfoTagPanel panel(host, PangoMeasure());
  panel.ShowRecordInfo(Gbk("标题\n\n\n美国\n动作\n"));
  Canvas canvas(200, 40);
  PaintInfoTagPanel(canvas.cr(), {200, 40}, panel);
  EXPECT_EQ(canvas.At(199, 39), kAppBackgroundBrush);
  const InfoTagItem& label = panel.Item(0);
  const InfoTagItem& title = panel.Item(1);
  EXPECT_GT(canvas.Count(label.rect, kInfoLabelText, 40), 5);
  EXPECT_EQ(canvas.Count(label.rect, kInfoValueText, 30), 0);
  EXPECT_GT(canvas.Count(title.rect, kInfoValueText, 30), 5);
  // The line break is not drawn.
  EXPECT_EQ(canvas.Count(panel.Item(2).rect, kInfoLabelText, 60), 0);
}

// A catalogue list as the main window sets it up.
SkinListCtrl CatalogueList() {
  SkinListCtrl list;
  list.SetColumnCount(4);
  list.SetRowStyle(SkinListCtrl::kCatalogueRows);
  list.SetColumns({{Gbk("分类"), 60}, {Gbk("视频名称"), 300}, {Gbk("播放视频"), 60}, {Gbk("收藏视频"), 60}});
  list.SetRowHeight(60);
  return list;
}

TEST(CatalogueRowPaintTest, FillColoursByParityAndSelection) {
  SkinListCtrl list = CatalogueList();
  for (int i = 0; i < 3; ++i) list.InsertRow(i, "n");
  list.Select(2, true);
  struct Case {
    int row;
    Rgb fill;
  } cases[] = {{0, kCatalogueEvenFill}, {1, kCatalogueOddFill}, {2, kCatalogueSelectedFill}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    Canvas canvas(600, 60);
    PaintListRow(canvas.cr(), list, c.row, {0, 0, 600, 60}, RowPictures::Shared());
    EXPECT_EQ(canvas.At(0, 0), c.fill);
    EXPECT_EQ(canvas.At(599, 59), c.fill);  // beyond the last column too
    EXPECT_EQ(canvas.At(450, 30), c.fill);
  }
}

TEST(CatalogueRowPaintTest, PictureByColumnZeroText) {
  RowPictures pictures = RowPictures::Shared();
  SkinListCtrl list = CatalogueList();
  list.InsertRow(0, Gbk("高清种子"));
  list.InsertRow(1, Gbk("电影"));
  struct Case {
    int row;
    cairo_surface_t* picture;
  } cases[] = {{0, pictures.seed}, {1, pictures.video}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    Canvas canvas(480, 60);
    PaintListRow(canvas.cr(), list, c.row, {0, 0, 480, 60}, pictures);
    for (int y = 0; y < 32; y += 3) {
      for (int x = 0; x < 32; x += 3) {
        ASSERT_EQ(canvas.At(6 + x, 3 + y), Canvas::PixelOf(c.picture, x, y)) << x << "," << y;
      }
    }
  }
}

TEST(CatalogueRowPaintTest, DescriptionLinesInTheirBandsAndColours) {
  SkinListCtrl list = CatalogueList();
  list.InsertRow(0, "n");
  list.SetCell(0, 1, Gbk("标题标题\naddr\n2009\n美国\n动作\n演员甲/演员乙"));
  list.SetCell(0, 2, Gbk("收藏"));
  list.Select(0, true);  // the three line colours hold on selected rows
  Canvas canvas(480, 60);
  PaintListRow(canvas.cr(), list, 0, {0, 0, 480, 60}, RowPictures::Shared());
  Rect title{60, 2, 360, 20}, details{60, 20, 360, 38}, actors{60, 38, 360, 56};
  EXPECT_GT(canvas.Count(title, kCatalogueTitle, 40), 10);
  EXPECT_EQ(canvas.Count(details, kCatalogueTitle, 40), 0);
  EXPECT_GT(canvas.Count(details, {0, 0, 0}, 60), 10);
  EXPECT_GT(canvas.Count(actors, kCatalogueActors, 40), 10);
  EXPECT_EQ(canvas.Count(title, kCatalogueActors, 40), 0);
  // Column 2 is an underlined link in the selected link colour, from x + 5.
  EXPECT_GT(canvas.Count({365, 0, 420, 60}, kCatalogueLinkSelected, 30), 10);
  EXPECT_EQ(canvas.Count({360, 0, 365, 60}, kCatalogueLinkSelected, 30), 0);
}

TEST(CatalogueRowPaintTest, SecondLineHoldsTypeAreaAndYear) {
  // Compare against the same text drawn on its own: the line is
  // type, space, area, " 年代:", year.
  SkinListCtrl list = CatalogueList();
  list.InsertRow(0, "n");
  list.SetCell(0, 1, Gbk("t\na\n2009\n美国\n动作\n"));
  Canvas row(480, 60);
  PaintListRow(row.cr(), list, 0, {0, 0, 480, 60}, RowPictures::Shared());
  Canvas expected(480, 60);
  cairo_set_source_rgb(expected.cr(), 1, 1, 1);
  cairo_paint(expected.cr());
  DrawTextLine(expected.cr(), Gbk("动作 美国 年代:2009"), 0, {0, 0, 0}, {60, 20, 360, 38}, HAlign::kLeft);
  for (int y = 20; y < 38; ++y)
    for (int x = 60; x < 360; ++x) ASSERT_EQ(row.At(x, y), expected.At(x, y)) << x << "," << y;
}

TEST(CatalogueRowPaintTest, HorizontalScrollShiftsFillAndPicture) {
  RowPictures pictures = RowPictures::Shared();
  SkinListCtrl list = CatalogueList();
  list.InsertRow(0, "n");
  list.InsertRow(1, "n");
  list.SetScrollX(30);
  Canvas canvas(200, 60);
  // Paint from x = 10 so the scrolled-off part would show if it were drawn.
  PaintListRow(canvas.cr(), list, 1, {40, 0, 200, 60}, pictures);
  EXPECT_EQ(canvas.At(10, 1), kCatalogueOddFill);  // fill starts at 40 - 30
  EXPECT_EQ(canvas.At(9, 1), Canvas::kUntouched);
  // The picture sits at 40 - 30 + 6 = 16.
  for (int y = 0; y < 32; y += 4) EXPECT_EQ(canvas.At(16 + 20, 3 + y), Canvas::PixelOf(pictures.video, 20, y));
}

TEST(CatalogueRowPaintTest, ScrolledByThirtyFromZeroShowsPictureFromColumnTwentyFour) {
  RowPictures pictures = RowPictures::Shared();
  SkinListCtrl list = CatalogueList();
  list.InsertRow(0, "n");
  list.SetScrollX(30);
  Canvas canvas(200, 60);
  PaintListRow(canvas.cr(), list, 0, {0, 0, 200, 60}, pictures);
  for (int y = 0; y < 32; y += 4)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(canvas.At(x, 3 + y), Canvas::PixelOf(pictures.video, 24 + x, y));
}

SkinListCtrl EpisodeList() {
  SkinListCtrl list;
  list.SetColumnCount(3);
  list.SetRowStyle(SkinListCtrl::kEpisodeRows);
  list.SetColumns({{Gbk("视频列表"), 120}, {Gbk("播放"), 60}, {" ", 200}});
  return list;
}

TEST(EpisodeRowPaintTest, FillStartsTwentyRightAndPictureAtLeft) {
  RowPictures pictures = RowPictures::Shared();
  SkinListCtrl list = EpisodeList();
  list.InsertRow(0, Gbk("第1集"));
  list.InsertRow(1, Gbk("第2集"));
  list.Select(1, true);
  struct Case {
    int row;
    Rgb fill;
  } cases[] = {{0, {255, 255, 255}}, {1, kEpisodeSelectedFill}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    Canvas canvas(400, 18);
    PaintListRow(canvas.cr(), list, c.row, {0, 0, 400, 18}, pictures);
    EXPECT_EQ(canvas.At(20, 0), c.fill);
    EXPECT_EQ(canvas.At(399, 17), c.fill);
    EXPECT_EQ(canvas.At(19, 0), Canvas::kUntouched);
    EXPECT_EQ(canvas.At(17, 17), Canvas::kUntouched);
    for (int y = 0; y < 16; y += 3) EXPECT_EQ(canvas.At(7, 1 + y), Canvas::PixelOf(pictures.episode, 7, y));
  }
}

TEST(EpisodeRowPaintTest, TextColumnsAndHiddenColumns) {
  SkinListCtrl list = EpisodeList();
  list.SetColumnCount(4);
  list.SetColumns({{"", 120}, {"", 60}, {"", 100}, {"", 100}});
  list.InsertRow(0, Gbk("第一集"));
  list.SetCell(0, 1, Gbk("播放"));
  list.SetCell(0, 2, Gbk("隐藏地址隐藏地址"));
  list.SetCell(0, 3, Gbk("隐藏隐藏隐藏"));
  Canvas canvas(400, 18);
  PaintListRow(canvas.cr(), list, 0, {0, 0, 400, 18}, RowPictures::Shared());
  // Column 0 text starts 20 px right of the column edge.
  EXPECT_GT(canvas.Count({20, 0, 120, 18}, {0, 0, 0}, 60), 10);
  EXPECT_EQ(canvas.Count({16, 0, 20, 18}, Canvas::kUntouched, 0), 4 * 18);
  EXPECT_GT(canvas.Count({125, 0, 180, 18}, kEpisodeLink, 30), 5);
  // Columns 2 and 3 stay plain white.
  EXPECT_EQ(canvas.Count({180, 0, 380, 18}, {255, 255, 255}, 0), 200 * 18);
}

// The header row: one raised button per column, the title inside it from
// six pixels in, an empty button for the rest of the width.
TEST(ListHeaderPaintTest, ButtonsAndTitlesPerColumn) {
  SkinListCtrl list = CatalogueList();  // columns 60, 300, 60, 60: edges at 60, 360, 420, 480
  const int h = SkinListCtrl::kHeaderHeight;
  Canvas canvas(560, h + 4);
  PaintListHeader(canvas.cr(), list, 560);
  struct Case {
    const char* name;
    Point at;
    Rgb colour;
  } cases[] = {
      {"fill", {30, h - 3}, kHeaderFill},
      {"first button's left edge", {0, 10}, kHeaderHighlight},
      {"top edge", {200, 0}, kHeaderHighlight},
      {"bottom edge", {200, h - 1}, kHeaderShadow},
      {"first button's right edge", {59, 10}, kHeaderShadow},
      {"second button's left edge", {60, 10}, kHeaderHighlight},
      {"last column's right edge", {479, 10}, kHeaderShadow},
      {"filler button", {520, 10}, kHeaderFill},
      {"filler's right edge", {559, 10}, kHeaderShadow},
      {"below the header", {30, h + 1}, Canvas::kUntouched},
  };
  for (const Case& c : cases) EXPECT_EQ(canvas.At(c.at.x, c.at.y), c.colour) << c.name;
  // Each title in its own button, none in the filler or in the indent.
  for (Rect title : {Rect{6, 1, 58, h - 1}, Rect{66, 1, 358, h - 1}, Rect{366, 1, 418, h - 1}}) {
    EXPECT_GT(canvas.Count(title, kHeaderText, 80), 10) << title.left;
  }
  EXPECT_EQ(canvas.Count({1, 1, 6, h - 1}, kHeaderText, 80), 0);
  EXPECT_EQ(canvas.Count({481, 1, 559, h - 1}, kHeaderText, 80), 0);
}

TEST(ListHeaderPaintTest, TitlesFollowTheHorizontalScroll) {
  SkinListCtrl list = CatalogueList();
  Canvas plain(300, SkinListCtrl::kHeaderHeight);
  PaintListHeader(plain.cr(), list, 300);
  list.SetScrollX(40);
  Canvas scrolled(300, SkinListCtrl::kHeaderHeight);
  PaintListHeader(scrolled.cr(), list, 300);
  // The second button starts at 60 - 40 = 20, its title at 26.
  EXPECT_EQ(scrolled.At(20, 10), kHeaderHighlight);
  EXPECT_EQ(scrolled.At(19, 10), kHeaderShadow);
  for (int y = 0; y < SkinListCtrl::kHeaderHeight; ++y)
    for (int x = 66; x < 200; ++x) ASSERT_EQ(scrolled.At(x - 40, y), plain.At(x, y)) << x << "," << y;
}

// On a surface of device scale 2 the painters draw the 2x pictures pixel
// for pixel, not the 1x ones enlarged; at scale 1 the 1x pictures as they are.
TEST(PictureScaleTest, PaintersDrawThePictureOfTheDeviceScale) {
  SkinListCtrl list = CatalogueList();
  list.InsertRow(0, Gbk("电影"));
  struct Case {
    const char* name;
    int picture;
    Rect box;  // where the painter puts the picture, or its left part, unscaled
    std::function<void(cairo_t*)> paint;
  } cases[] = {
      {"face button", 224, {0, 0, 40, 22},
       [](cairo_t* cr) { PaintFaceBitmapButton(cr, {0, 0, 80, 22}, 0, false, "", FacePictures::Shared()); }},
      {"catalogue row", 177, Rect::FromSize(6, 3, 32, 32),
       [&](cairo_t* cr) { PaintListRow(cr, list, 0, {0, 0, 480, 60}, RowPictures::Shared()); }},
      {"picture control", 128, {0, 0, 128, 128},
       [](cairo_t* cr) { PaintPicture(cr, {0, 0, 128, 128}, SharedPicture(128)); }},
  };
  for (const Case& c : cases) {
    SurfacePtr sharp = LoadPicture(c.picture, 2);
    for (int scale : {1, 2}) {
      SCOPED_TRACE(std::string(c.name) + " at scale " + std::to_string(scale));
      cairo_surface_t* want = scale == 1 ? SharedPicture(c.picture) : sharp.get();
      ASSERT_NE(want, nullptr);
      Canvas canvas(c.box.right, c.box.bottom, scale);
      c.paint(canvas.cr());
      int wrong = 0;
      for (int y = 0; y < c.box.Height() * scale; ++y) {
        for (int x = 0; x < c.box.Width() * scale; ++x) {
          wrong += !(canvas.At(c.box.left * scale + x, c.box.top * scale + y) == Canvas::PixelOf(want, x, y));
        }
      }
      EXPECT_EQ(wrong, 0);
    }
  }
}

TEST(TextPaintTest, TextDrawnAgainInAnotherFontOrScaleLooksAsIfDrawnFirst) {
  // Texts are laid out once per thread; a thread of its own draws as the
  // first drawing would.
  const std::string text = Gbk("播放视频");
  auto draw = [&](double scale, int slot) {
    Canvas canvas(200, 60);
    cairo_set_source_rgb(canvas.cr(), 1, 1, 1);
    cairo_paint(canvas.cr());
    cairo_scale(canvas.cr(), scale, scale);
    DrawTextLine(canvas.cr(), text, slot, {0, 0, 0}, {0, 0, 100, 30}, HAlign::kLeft);
    std::vector<Rgb> pixels;
    for (int y = 0; y < canvas.Height(); ++y) {
      for (int x = 0; x < canvas.Width(); ++x) pixels.push_back(canvas.At(x, y));
    }
    return pixels;
  };
  const struct {
    double scale;
    int slot;
  } drawings[] = {{1.0, 0}, {1.0, 1}, {1.5, 2}, {1.0, 0}, {2.0, 1}};
  for (const auto& [scale, slot] : drawings) {
    std::vector<Rgb> first;
    std::thread([&] { first = draw(scale, slot); }).join();
    EXPECT_TRUE(draw(scale, slot) == first) << scale << " " << slot;
  }
}

TEST(ListRowPaintTest, EmptyListDrawsNothing) {
  SkinListCtrl list = CatalogueList();
  Canvas canvas(100, 60);
  PaintListRow(canvas.cr(), list, 0, {0, 0, 100, 60}, RowPictures::Shared());
  EXPECT_EQ(canvas.Count({0, 0, 100, 60}, Canvas::kUntouched, 0), 100 * 60);
  EXPECT_EQ(list.FirstSelectedRow(), -1);
}

}  // namespace
}  // namespace tavelo
