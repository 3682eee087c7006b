// libFuzzer target: any bytes as a favourites or history file, loaded,
// changed as the list actions change it and saved. The saved file must load
// back with one record per record written.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "catalogue/personal_lists.h"
#include "catalogue/record_list.h"
#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavelo;
  fuzz::SkipFlushes();
  const std::string path = fuzz::WriteScratchFile("list.dat", data, size);
  if (path.empty()) abort();
  RecordList list;
  if (list.LoadPersonalList(path) < 0) abort();
  if (list.Count() > 0) {
    // Adding the first video again moves it to the end; deleting the last
    // one marks every copy of it.
    const std::string category(list[0].fields[0]);
    const std::string first(list[0].fields[1]);
    const std::string last(list[list.Count() - 1].fields[1]);
    list.AddPersonalRecord(category, first, kPersonalKind);
    list.MarkDeleted(last);
  }
  list.AddPersonalRecord(EscapeListField("c\t"), EscapeListField("title\nhttp://v/\r1"), kPersonalKind);
  int written = 0;
  for (int i = 0; i < list.Count(); ++i) written += RecordList::IsDeleted(list[i]) ? 0 : 1;
  if (list.SavePersonalList(path) != 0) abort();

  RecordList reloaded;
  if (reloaded.LoadPersonalList(path) != written) abort();
  fuzz::ClearScratchDir();
  return 0;
}
