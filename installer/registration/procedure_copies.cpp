// Procedure files moved or copied beside the index, flushed together.
#include "installer/registration/procedure_copies.h"

#include <unordered_map>

#include "platform/ascii_case.h"
#include "platform/files.h"
#include "platform/flush.h"
#include "platform/hfile.h"

namespace registration {

using namespace platform;

namespace {

// Part files: ".~ovreg" and a number, beside the index.
constexpr const char* kPartPrefix = ".~ovreg";
// Names tried for one part before the copy is given up.
constexpr unsigned kPartNames = 1000;
constexpr UINT kChunk = 65536;
constexpr DWORD kNotSameDevice = 17;

// A file that can be renamed as it is: a plain file, not a folder or a link.
bool PlainFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

}  // namespace

ProcedureCopies::~ProcedureCopies() {
  for (Copy& copy : copies_)
    if (!copy.part.empty()) DeleteFileA(copy.part.c_str());
}

void ProcedureCopies::RemoveLeftovers() {
  WIN32_FIND_DATAA found;
  const std::string pattern = procDir_ + kPartPrefix + "*";
  FindHandle find = FindFirstFileA(pattern.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> leftovers;
  do {
    leftovers.push_back(procDir_ + found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  // Links and other programs' files stay; their names are passed over.
  for (const std::string& part : leftovers) DeleteFileIfUnused(part.c_str());
}

std::size_t ProcedureCopies::Add(const std::string& source) {
  Copy copy;
  copy.source = source;
  copies_.push_back(std::move(copy));
  return copies_.size() - 1;
}

void ProcedureCopies::Prepare() {
  // The last copy of a staged file may take the file itself; the ones
  // before it need copies of their own.
  std::unordered_map<std::string, std::size_t> lastUse;
  for (std::size_t i = 0; i < copies_.size(); ++i) lastUse[AsciiUpper(copies_[i].source)] = i;
  for (std::size_t i = 0; i < copies_.size(); ++i) {
    Copy& copy = copies_[i];
    copy.move = lastUse[AsciiUpper(copy.source)] == i && PlainFile(copy.source);
    if (!copy.move) CopyIntoPart(copy);
  }

  const std::string* any = nullptr;
  for (const Copy& copy : copies_) {
    if (copy.move || !copy.part.empty()) any = copy.move ? &copy.source : &copy.part;
  }
  if (any == nullptr || FlushVolumeBuffers(any->c_str())) return;
  // Which files the failure touched: each is flushed on its own.
  for (Copy& copy : copies_) {
    if (!copy.move && copy.part.empty()) continue;
    if (!FlushOne(copy.move ? copy.source : copy.part)) Fail(copy, GetLastError());
  }
}

BOOL ProcedureCopies::FlushOne(const std::string& path) {
  OFSTRUCT of;
  HFILE file = OpenFile(path.c_str(), &of, OF_READWRITE | OF_SHARE_DENY_NONE);
  if (file == HFILE_ERROR) {
    SetLastError(of.nErrCode);
    return FALSE;
  }
  const BOOL flushed = FlushFileBuffers(file);
  const DWORD error = flushed ? ERROR_SUCCESS : GetLastError();
  _lclose(file);
  SetLastError(flushed ? ERROR_SUCCESS : error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
  return flushed;
}

void ProcedureCopies::CopyIntoPart(Copy& copy) {
  OFSTRUCT of;
  HFILE in = OpenFile(copy.source.c_str(), &of, OF_READ | OF_SHARE_DENY_NONE);
  if (in == HFILE_ERROR) {
    copy.error = of.nErrCode;
    return;
  }
  HFILE out = HFILE_ERROR;
  for (unsigned tries = 0; out == HFILE_ERROR && tries < kPartNames; ++tries) {
    copy.part = procDir_ + kPartPrefix + std::to_string(nextName_++);
    out = OpenFile(copy.part.c_str(), &of, OF_CREATE | OF_CREATE_NEW | OF_WRITE | OF_SHARE_DENY_NONE);
    if (out == HFILE_ERROR && of.nErrCode != ERROR_FILE_EXISTS) break;
  }
  if (out == HFILE_ERROR) {
    _lclose(in);
    copy.part.clear();
    copy.error = of.nErrCode;
    return;
  }
  if (buffer_.empty()) buffer_.resize(kChunk);
  DWORD error = ERROR_SUCCESS;
  for (;;) {
    UINT got = _lread(in, buffer_.data(), kChunk);
    if (got == UINT(HFILE_ERROR)) {
      error = GetLastError();
      break;
    }
    if (got == 0) break;
    if (_lwrite(out, buffer_.data(), got) != got) {
      error = GetLastError();
      if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
      break;
    }
  }
  _lclose(in);
  if (_lclose(out) == HFILE_ERROR && error == ERROR_SUCCESS) error = GetLastError();
  if (error != ERROR_SUCCESS) Fail(copy, error);
}

void ProcedureCopies::Fail(Copy& copy, DWORD error) {
  if (!copy.part.empty()) DeleteFileA(copy.part.c_str());
  copy.part.clear();
  copy.move = false;
  copy.error = error;
}

BOOL ProcedureCopies::PutInPlace(std::size_t index, const std::string& target, DWORD* error) {
  Copy& copy = copies_.at(index);
  if (copy.move) {
    copy.move = false;
    if (MoveFileExA(copy.source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return TRUE;
    *error = GetLastError();
    if (*error != kNotSameDevice) return FALSE;
    // The scratch folder lies on another volume: a copy beside the target,
    // flushed on its own.
    CopyIntoPart(copy);
    if (!copy.part.empty() && !FlushOne(copy.part)) Fail(copy, GetLastError());
  }
  if (copy.part.empty()) {
    *error = copy.error;
    return FALSE;
  }
  if (!MoveFileExA(copy.part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    *error = GetLastError();
    Fail(copy, *error);
    return FALSE;
  }
  copy.part.clear();
  return TRUE;
}

}  // namespace registration
