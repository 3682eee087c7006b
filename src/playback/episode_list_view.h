#pragma once
// The episode list as the play and select-to-open windows show it: a
// skinned report list of episode rows with the columns "视频列表" (label),
// "播放" (the play cell) and " " (the address, kept but not drawn).

#include <array>
#include <vector>

#include "content/episode_scraper.h"
#include "port/controls.h"

namespace tavelo {

// The columns of an episode list and what each holds.
enum EpisodeColumn { kLabelColumn = 0, kPlayColumn = 1, kAddressColumn = 2 };

// Sets up a fresh list: episode-row skin, the three columns with these
// widths, rows as tall as the 18-pixel row pictures.
void SetUpEpisodeList(port::ListView& list, const std::array<int, 3>& widths);
// Replaces the rows of `list` by `rows`, in order.
void FillEpisodeList(port::ListView& list, const std::vector<EpisodeRow>& rows);
// The rows the list holds now.
std::vector<EpisodeRow> EpisodeListRows(const port::ListView& list);

}  // namespace tavelo
