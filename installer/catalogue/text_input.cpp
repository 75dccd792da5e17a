// Reading kelmar.lst into the catalogue.
//
// A record runs from its marker to its "end"; its nodes are linked only when
// "end" closes it. A record that cannot be read whole is left out with all of
// its names: one cut off by the end of the file, one without a name (marker
// directly followed by "procfile"), and one interrupted by a new marker at
// record level before its "end". Keyword lines met at record level while no
// record is open are ignored like any other line between records.
//
// Past its sixth name, a name given again in one record is kept once among
// the record's names and gives one node: otherwise a record of a million
// empty name lines would make a million identical nodes. Records of up to six
// names, as catalogues have them, keep every name line as written.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "installer/catalogue/catalogue_report.h"
#include "installer/catalogue/catalogue_texts.h"
#include "installer/catalogue/catalogue_trace.h"
#include "installer/catalogue/list_file_reader.h"
#include "installer/catalogue/list_grammar.h"
#include "installer/catalogue/procedures_list.h"

namespace catalogue {

namespace {

namespace text = catalogue::texts;

class FileLines : public catalogue::ListLines {
 public:
  explicit FileLines(catalogue::ListFileReader& in) : in_(in) {}
  bool More() const override { return in_.More(); }
  bool Next(std::string& line, int* number, bool /*inList*/) override {
    *number = in_.LineNumber();
    return in_.ReadLine(line);
  }

 private:
  catalogue::ListFileReader& in_;
};

// Builds the record being read in its first node, which holds all of its
// names, and links its nodes when its "end" comes.
class NodeRecords : public catalogue::ListRecords {
 public:
  explicit NodeRecords(ProceduresList& list) : list_(list) {}

  void Opened(bool subProc, int line) override {
    record_.names.RemoveAll();
    record_.node.reset();
    ForgetSeen();
    record_.named = false;
    record_.line = line;
    record_.subProc = subProc;
    if (!subProc) CatalogueTrace(text::kTraceRecord);
  }
  void NamesRead() override {
    if (!record_.subProc) CatalogueTrace(text::kTraceProcFile);
    record_.named = !record_.names.IsEmpty();
    record_.node = std::make_unique<ProcNode>(record_.names.GetAt(0));
    record_.node->isSubProc = record_.subProc ? 1 : 0;
    record_.node->siblings = std::move(record_.names);
    ForgetSeen();
  }
  void ProcFile(const std::string& name, int /*line*/) override { record_.node->procFile = name; }
  void Entry(catalogue::ListPart part, const std::string& entry, int /*line*/) override {
    ProcNode* node = record_.node.get();
    switch (part) {
      case catalogue::ListPart::Names: AddName(entry); break;
      case catalogue::ListPart::SubProcs: node->subProcs.AddTail(entry); break;
      case catalogue::ListPart::ReqFiles: node->reqFiles.AddTail(entry); break;
      case catalogue::ListPart::DataFiles: node->dataFiles.AddTail(entry); break;
      case catalogue::ListPart::Configuration: node->AddConfigLine(entry); break;
    }
  }
  void Calibrator(const std::string& code, int /*line*/) override { record_.node->calibrator = code; }
  void Closed() override {
    if (!record_.named) {
      Unfinished();
      return;
    }
    // The alias nodes share the first node's lists and texts.
    ProcNode* first = record_.node.release();
    list_.AddABC(first);
    const StringList& names = first->siblings;
    for (int i = 1; i < names.GetCount(); ++i) list_.AddABC(new ProcNode(*first, names.GetAt(i)));
  }
  void Unfinished() override {
    if (dropped++ == 0) firstDropped = record_.line;
  }

  int dropped = 0;
  int firstDropped = 0;  // file line of the first record left out

 private:
  // Indices of the open record's names, hashed by the names themselves.
  struct NameHash {
    const StringList* names;
    std::size_t operator()(std::uint32_t i) const { return std::hash<std::string>()(names->GetAt(int(i))); }
  };
  struct NameEqual {
    const StringList* names;
    bool operator()(std::uint32_t a, std::uint32_t b) const { return names->GetAt(int(a)) == names->GetAt(int(b)); }
  };
  // The first names of a record are kept as written; later ones are checked
  // against all before them, by a scan while the record is short.
  static constexpr int kKeptNames = 6;
  static constexpr int kScanNames = 8;

  struct OpenRecord {
    StringList names;
    // Every name's index, filled once the record has kScanNames names.
    std::unordered_set<std::uint32_t, NameHash, NameEqual> seen{0, NameHash{&names}, NameEqual{&names}};
    std::unique_ptr<ProcNode> node;  // made once the names are read
    bool named = false;
    bool subProc = false;
    int line = 0;  // file line of its marker
  };

  // Empties the set of names with its buckets.
  void ForgetSeen() {
    if (record_.seen.bucket_count() <= 1) return;
    decltype(record_.seen) none(0, NameHash{&record_.names}, NameEqual{&record_.names});
    record_.seen.swap(none);
  }

  // Appends `name` unless it repeats one of a record past its sixth name.
  void AddName(const std::string& name) {
    StringList& names = record_.names;
    const int count = names.GetCount();
    if (count < kKeptNames) {
      names.AddTail(name);
      return;
    }
    if (count < kScanNames) {
      for (const std::string& known : names) {
        if (known == name) return;
      }
      names.AddTail(name);
      return;
    }
    if (record_.seen.empty()) {
      for (int i = 0; i < count; ++i) record_.seen.insert(std::uint32_t(i));
    }
    names.AddTail(name);  // tried as the candidate at index `count`
    if (!record_.seen.insert(std::uint32_t(count)).second) names.RemoveLast();
  }

  ProceduresList& list_;
  OpenRecord record_;
};

}  // namespace

int ProceduresList::TextInput(const char* path) {
  catalogue::ListFileReader in;
  const bool opened = in.Open(path);  // unopened, it reads as an empty file
  ReadAndDump(in, "c:\\listread.txt");
  if (droppedRecords_ > 0) {
    catalogue::Warn(catalogue::DroppedRecordsText(path, droppedRecords_, firstDroppedLine_));
  }
  return opened ? 1 : 0;
}

int ProceduresList::TextInputFromMemory(std::string_view listText, const catalogue::LoadSinks& sinks) {
  catalogue::ListFileReader in;
  in.Assign(listText);
  ReadAndDump(in, sinks.dumpPath);
  if (droppedRecords_ > 0 && sinks.reportDropped) {
    catalogue::Warn(catalogue::DroppedRecordsText("the list text", droppedRecords_, firstDroppedLine_));
  }
  return 1;
}

void ProceduresList::ReadAndDump(catalogue::ListFileReader& in, const char* dumpPath) {
  CatalogueTraceBatch batch;
  CatalogueTrace(text::kTraceTextInput);
  droppedRecords_ = 0;
  firstDroppedLine_ = 0;
  ReadRecords(in);
  if (dumpPath != nullptr) DumpList(dumpPath);
}

void ProceduresList::ReadRecords(catalogue::ListFileReader& in) {
  FileLines lines(in);
  NodeRecords records(*this);
  catalogue::ReadListRecords(lines, records);
  droppedRecords_ = records.dropped;
  firstDroppedLine_ = records.firstDropped;
}

}  // namespace catalogue
