// The procedure catalogue: the nodes read from kelmar.lst in their catalogue
// order, the procedures offered for a calibrator, and the transfer lists made
// from the operator's choice.
#pragma once
#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "installer/catalogue/insert_order.h"
#include "installer/catalogue/node_lookup.h"
#include "installer/catalogue/proc_node.h"
#include "installer/catalogue/string_list.h"

namespace catalogue {

class DumpWriter;
class LineFile;
class ListFileReader;

// Where TextInputFromMemory sends what TextInput writes to fixed places.
// Trace lines go to the catalogue trace, which drops them unless opened.
struct LoadSinks {
  const char* dumpPath = nullptr;  // DOS path the dump is appended to; none when null
  bool reportDropped = false;      // warn in a box about records left out
};

class ProceduresList {
 public:
  StringList ProcTable;         // names offered for the calibrator, catalogue order
  StringList xferFiles;         // required files of the choice
  StringList xferProcs;         // procedure files of the chosen procedures
  StringList selectedProcs;     // names the operator selected
  StringList selectedSubProcs;  // sub-procedures reached from the selection
  StringList xferSubProcs;      // procedure files of those sub-procedures
  StringList xferDataFiles;     // data files of the choice
  ProcNode* pHead = nullptr;
  ProcNode* pCurrent = nullptr;

  ProceduresList() = default;
  ~ProceduresList();
  ProceduresList(const ProceduresList&) = delete;
  ProceduresList& operator=(const ProceduresList&) = delete;

  // Reads the list file at the DOS path `path` into the catalogue and appends
  // the dump to "c:\listread.txt". 1, or 0 when the file cannot be read.
  int TextInput(const char* path);

  // Reads list-file text held in memory into the catalogue, as TextInput
  // reads a file, with the dump and the report of skipped records only where
  // `sinks` asks for them. Always 1.
  int TextInputFromMemory(std::string_view listText, const catalogue::LoadSinks& sinks = {});
  // Takes ownership of `node` and links it at its ordered place.
  void AddABC(ProcNode* node);
  // Appends a readable dump of every node to the file at `path`: at most
  // kDumpLimit bytes, and the lists of a record with more than
  // kDumpFullNames names only under the first of its nodes.
  void DumpList(const char* path);
  // Dumps the node at pCurrent to `out` through `scratch` (assigned from it)
  // and moves pCurrent to its successor.
  void DumpNode(catalogue::LineFile& out, ProcNode& scratch);

  static constexpr std::size_t kDumpLimit = 8u << 20;
  static constexpr int kDumpFullNames = 6;

  // Fill ProcTable with the offered names; their count, or -1.
  int GetProcs();
  int GetProcsByCalibrator(const std::string& code);

  // Look-ups; nullptr when no node matches.
  const StringList* FindSiblings(const std::string& name);
  const StringList* FindSubProcs(const std::string& name);
  const ProcNode* FindByAnyName(const std::string& name);
  const ProcNode* FindByProcFile(const std::string& file);

  void AddSelectedProc(const std::string& name);
  void AddSelectedSubProc(const std::string& name);

  // Rebuilds the four transfer lists from the selection: 1, or 0 when any
  // step failed.
  int LoadAllXferFiles();
  int GetXferFiles(const std::string& name);
  int LoadXferProcs(const std::string& name);
  int LoadXferSubProcs(const std::string& name);

  // Records of the last TextInput that were cut off or interrupted and left
  // out, and the file line where the first of them began (0 when none).
  int DroppedRecords() const { return droppedRecords_; }
  int FirstDroppedLine() const { return firstDroppedLine_; }

 private:
  // Reads the records of `in` and appends the dump to `dumpPath` (none when
  // null), the trace written in one batch.
  void ReadAndDump(catalogue::ListFileReader& in, const char* dumpPath);
  void ReadRecords(catalogue::ListFileReader& in);
  void DumpNode(catalogue::DumpWriter& out, ProcNode& scratch);
  // True when `node` is one of this catalogue's nodes.
  bool Holds(const ProcNode* node) const;
  // The node a selected name stands for (name ignoring case); reports and
  // gives nullptr when there is none.
  ProcNode* SelectedNode(const std::string& name, const char* notInListText);
  // GetXferFiles for the node `name` stands for.
  int AddXferFiles(const std::string& name, const ProcNode& node);
  // False, after reporting it, when `file` of `name` is not a plain file name.
  bool SafeFile(const std::string& name, const std::string& file);

  catalogue::InsertOrder order_;
  catalogue::NodeLookup lookup_;
  int droppedRecords_ = 0;
  int firstDroppedLine_ = 0;
  bool inXferRun_ = false;                  // LoadAllXferFiles is running
  std::set<std::string> reportedUnsafe_;    // unsafe names reported in this run
  // Storage of the (required, data) file lists handled in this run, and the
  // result of that GetXferFiles.
  std::map<std::pair<const void*, const void*>, int> xferRunLists_;
};

}  // namespace catalogue
