#pragma once
// What the play windows navigate to for an episode, and how they hand an
// episode to a program copy of its own.

#include <string>
#include <string_view>

namespace tavelo {

// The player page of an episode. With a template ("[YOUKU_PLAY_URL]"), its
// placeholders are replaced one after another, each everywhere: "CODE_URL",
// "CODE_NAME" and "CODE_SECTION" by the URL-encoded address, title and
// label, then "SRC_URL", "SRC_NAME" and "SRC_SECTION" by the same values as
// they are. Without one, the video site's own player on `playerHost` for the
// id between "id_" and ".htm" of the address; "" when the address has none.
std::string PlayerPageAddress(const std::string& playerTemplate, std::string_view playerHost,
                              const std::string& address, const std::string& title, const std::string& label);

// The relaunch payload that plays one episode in a separate play window:
// address, title and label with their whitespace flattened, joined by
// "**TAB**".
std::string HandOffPayload(std::string address, std::string title, std::string label);

}  // namespace tavelo
