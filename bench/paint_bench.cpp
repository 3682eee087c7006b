// Catalogue rows painted into an image surface, as the list repaints them
// while the user scrolls: every visible row, text and pictures included.

#include <benchmark/benchmark.h>

#include <string>

#include "skin/skin_paint.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

constexpr int kRowHeight = 56;
constexpr int kVisibleRows = 16;  // a full-screen list of 56-pixel rows
constexpr int kWidth = 900;

SkinListCtrl MakeCatalogue(int rows) {
  SkinListCtrl list;
  list.SetColumnCount(4);
  list.SetRowStyle(SkinListCtrl::kCatalogueRows);
  list.SetColumns({{Gbk("分类"), 50}, {Gbk("视频名称"), 600}, {Gbk("播放视频"), 120}, {Gbk("收藏视频"), 120}});
  list.SetRowHeight(kRowHeight);
  for (int i = 0; i < rows; ++i) {
    list.InsertRow(i, Gbk(i % 7 == 0 ? "种子" : "高清"));
    list.SetCell(i, 1, Gbk("英雄传奇 第" + std::to_string(i + 1) + "集\n\n2009\n美国/香港\n动作/科幻\n周星星/刘德德/张三丰"));
    list.SetCell(i, 2, Gbk("播放视频"));
    list.SetCell(i, 3, Gbk("收藏视频"));
  }
  list.Select(3, true);
  return list;
}

void BM_CatalogueRows(benchmark::State& state) {
  SkinListCtrl list = MakeCatalogue(kVisibleRows);
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kRowHeight * kVisibleRows));
  CairoPtr cr(cairo_create(surface.get()));
  RowPictures pictures = RowPictures::Shared();
  for (auto _ : state) {
    for (int i = 0; i < kVisibleRows; ++i) {
      PaintListRow(cr.get(), list, i, {0, i * kRowHeight, kWidth, (i + 1) * kRowHeight}, pictures);
    }
    cairo_surface_flush(surface.get());
  }
  state.counters["rows_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kVisibleRows, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CatalogueRows)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace tavelo

BENCHMARK_MAIN();
