// The program runners on Windows: the program is started with CreateProcess
// in a job object, with pipes for its standard handles; the run ends when
// the job holds no process (the program and all it started have ended).
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "testing/program_runner.h"

namespace orvik_testing {

namespace {

// Quotes one argument so that the C run-time's parser gives it back as is.
std::string ArgumentText(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, '\\');
  return out + "\"";
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

// This process's environment with `env` applied, as a CreateProcess block.
std::string EnvironmentBlock(const std::map<std::string, std::string>& env) {
  std::vector<std::string> vars;
  if (char* strings = ::GetEnvironmentStringsA()) {
    for (const char* p = strings; *p; p += std::strlen(p) + 1) vars.emplace_back(p);
    ::FreeEnvironmentStringsA(strings);
  }
  for (const auto& [name, value] : env) {
    vars.erase(std::remove_if(vars.begin(), vars.end(),
                              [&](const std::string& v) {
                                std::size_t eq = v.find('=', 1);
                                return eq != std::string::npos && SameName(v.substr(0, eq), name);
                              }),
               vars.end());
    if (!value.empty()) vars.push_back(name + "=" + value);
  }
  std::string block;
  for (const std::string& v : vars) block += v + '\0';
  return block + '\0';
}

// Reads a pipe to its end on a thread of its own.
class Drain {
 public:
  Drain(HANDLE pipe, std::string& out) : thread_([pipe, &out] {
      char buffer[4096];
      DWORD n = 0;
      while (::ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
      ::CloseHandle(pipe);
    }) {}
  void Join() { thread_.join(); }

 private:
  std::thread thread_;
};

// Starts `program` with `args` and exactly `env`, in `cwd` (this process's
// folder when empty), with the given standard handles (inherited).
BOOL StartProcess(const std::string& program, const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& env, const std::string& cwd, HANDLE in, HANDLE out,
                  HANDLE err, DWORD flags, PROCESS_INFORMATION* process) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  std::string line = ArgumentText(program);
  for (const std::string& a : args) line += " " + ArgumentText(a);
  std::string block = EnvironmentBlock(env);
  return ::CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, flags, block.data(),
                          cwd.empty() ? nullptr : cwd.c_str(), &startup, process);
}

}  // namespace

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    int n = ::_write(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
    if (n <= 0) return;  // the program has gone; its result tells why
    done += static_cast<std::size_t>(n);
  }
}

RunResult RunChild(const std::string& program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& env, const std::string& cwd,
                   const std::function<bool(int input)>& feed, int timeoutSeconds,
                   const std::function<std::string()>& timeoutNote) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE inRead, inWrite, outRead, outWrite, errRead, errWrite;
  if (!::CreatePipe(&inRead, &inWrite, &inherit, 0) || !::CreatePipe(&outRead, &outWrite, &inherit, 0) ||
      !::CreatePipe(&errRead, &errWrite, &inherit, 0))
    throw std::runtime_error("CreatePipe");
  // The test's ends stay in this process.
  for (HANDLE h : {inWrite, outRead, errRead}) ::SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);

  HANDLE job = ::CreateJobObjectA(nullptr, nullptr);
  if (job == nullptr) throw std::runtime_error("CreateJobObject");
  PROCESS_INFORMATION process{};
  RunResult result;
  BOOL started = StartProcess(program, args, env, cwd, inRead, outWrite, errWrite, CREATE_SUSPENDED, &process);
  for (HANDLE h : {inRead, outWrite, errWrite}) ::CloseHandle(h);
  if (!started) {
    for (HANDLE h : {inWrite, outRead, errRead, job}) ::CloseHandle(h);
    result.exitStatus = 127;
    result.err = "[test runner: cannot start " + program + ", error " + std::to_string(::GetLastError()) + "]\n";
    return result;
  }
  ::AssignProcessToJobObject(job, process.hProcess);
  ::ResumeThread(process.hThread);
  ::CloseHandle(process.hThread);

  Drain out(outRead, result.out);
  Drain err(errRead, result.err);
  int input = ::_open_osfhandle(reinterpret_cast<intptr_t>(inWrite), _O_WRONLY | _O_BINARY);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  bool timedOut = false;
  std::string note;
  for (;;) {
    if (input >= 0 && feed(input)) {
      ::_close(input);
      input = -1;
    }
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    bool programDone = ::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
    if (programDone && ::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info,
                                                   nullptr) &&
        info.ActiveProcesses == 0)
      break;
    if (!timedOut && std::chrono::steady_clock::now() > deadline) {
      timedOut = true;
      ::TerminateJobObject(job, 137);
      note = "\n[test runner: timed out" + (timeoutNote ? timeoutNote() : std::string()) + "]\n";
    }
    ::Sleep(10);
  }
  if (input >= 0) ::_close(input);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  result.exitStatus = static_cast<int>(code);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(job);
  out.Join();
  err.Join();
  result.err += note;
  return result;
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& cwd,
                     const std::string& input, int timeoutSeconds) {
  return RunChild(program, args, env, cwd,
                  [&input](int fd) {
                    WriteAll(fd, input);
                    return true;
                  },
                  timeoutSeconds);
}

RunResult RunAtTerminal(const std::string&, const std::vector<std::string>&, const std::map<std::string, std::string>&,
                        const std::vector<std::pair<std::string, std::string>>&, int) {
  return {127, "", "[test runner: no terminal to type on under Windows]\n"};
}

ChildProgram::ChildProgram(const std::string& program, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& env) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE inRead, inWrite, outRead, outWrite, errors = nullptr;
  if (!::CreatePipe(&inRead, &inWrite, &inherit, 0) || !::CreatePipe(&outRead, &outWrite, &inherit, 0))
    throw std::runtime_error("CreatePipe");
  for (HANDLE h : {inWrite, outRead}) ::SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
  // The test's standard error, as a handle the child inherits.
  ::DuplicateHandle(::GetCurrentProcess(), ::GetStdHandle(STD_ERROR_HANDLE), ::GetCurrentProcess(), &errors, 0,
                    TRUE, DUPLICATE_SAME_ACCESS);
  PROCESS_INFORMATION process{};
  BOOL started = StartProcess(program, args, env, "", inRead, outWrite, errors, 0, &process);
  DWORD error = ::GetLastError();
  for (HANDLE h : {inRead, outWrite, errors})
    if (h != nullptr) ::CloseHandle(h);
  if (!started) {
    ::CloseHandle(inWrite);
    ::CloseHandle(outRead);
    throw std::runtime_error("cannot start " + program + ", error " + std::to_string(error));
  }
  ::CloseHandle(process.hThread);
  process_ = reinterpret_cast<std::intptr_t>(process.hProcess);
  input_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(inWrite), _O_WRONLY | _O_BINARY);
  output_ = ::_fdopen(::_open_osfhandle(reinterpret_cast<intptr_t>(outRead), _O_RDONLY | _O_BINARY), "rb");
}

void ChildProgram::CloseInput() {
  if (input_ >= 0) ::_close(input_);
  input_ = -1;
}

int ChildProgram::Wait() {
  if (process_ != -1) {
    HANDLE process = reinterpret_cast<HANDLE>(process_);
    DWORD code = 0;
    ::WaitForSingleObject(process, INFINITE);
    ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    status_ = static_cast<int>(code);
    process_ = -1;
  }
  return status_;
}

// 137 is what a POSIX host reports of a process killed with SIGKILL.
void ChildProgram::Kill() {
  if (process_ != -1) ::TerminateProcess(reinterpret_cast<HANDLE>(process_), 137);
}

int ChildProgram::EndAndWaitForLeftProgram() {
  // The programs it started are held before it ends: the system keeps a
  // process's exit status only while a handle to the process is open.
  std::vector<HANDLE> left;
  HANDLE snapshot = process_ != -1 ? ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0) : INVALID_HANDLE_VALUE;
  if (snapshot != INVALID_HANDLE_VALUE) {
    DWORD self = ::GetProcessId(reinterpret_cast<HANDLE>(process_));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
      if (entry.th32ParentProcessID != self) continue;
      if (HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID))
        left.push_back(process);
    }
    ::CloseHandle(snapshot);
  }
  CloseInput();
  Wait();
  int status = -1;
  for (HANDLE process : left) {
    DWORD code = 0;
    ::WaitForSingleObject(process, INFINITE);
    ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    status = static_cast<int>(code);
  }
  return status;
}

}  // namespace orvik_testing
