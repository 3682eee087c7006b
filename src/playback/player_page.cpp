#include "playback/player_page.h"

#include "browser/command_protocol.h"
#include "text/gbk_text.h"
#include "text/url_text.h"

namespace tavelo {

std::string PlayerPageAddress(const std::string& playerTemplate, std::string_view playerHost,
                              const std::string& address, const std::string& title, const std::string& label) {
  if (!playerTemplate.empty()) {
    std::string page = ReplaceAll(playerTemplate, "CODE_URL", UrlEncode(address));
    page = ReplaceAll(page, "CODE_NAME", UrlEncode(title));
    page = ReplaceAll(page, "CODE_SECTION", UrlEncode(label));
    page = ReplaceAll(page, "SRC_URL", address);
    page = ReplaceAll(page, "SRC_NAME", title);
    return ReplaceAll(page, "SRC_SECTION", label);
  }
  size_t idStart = address.find("id_");
  if (idStart == std::string::npos) return "";
  std::string_view afterId = std::string_view(address).substr(idStart + 3);
  size_t idEnd = afterId.find(".htm");
  if (idEnd == std::string_view::npos) return "";
  return "http://" + std::string(playerHost) + "/player.php/sid/" + std::string(afterId.substr(0, idEnd)) + "/v.swf";
}

std::string HandOffPayload(std::string address, std::string title, std::string label) {
  FlattenWhitespace(address);
  FlattenWhitespace(title);
  FlattenWhitespace(label);
  std::string payload = address;
  payload += kLineBreakEscape;
  payload += title;
  payload += kLineBreakEscape;
  payload += label;
  return payload;
}

}  // namespace tavelo
