#include "install/extract_payload.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <vector>

#include "install/digest_table.h"
#include "install/install_texts.h"
#include "install/version_probes.h"
#include "platform/chunk_digest.h"
#include "platform/machine.h"
#include "platform/win_constants.h"
#include "setup/setup_state.h"
#include "ui/language_files.h"
#include "ui/message_boxes.h"
#include "ui/progress_window.h"

namespace {

// Some systems refuse one very large WriteFile (32-bit Windows can, at hundreds of MiB);
// the same buffer written in bounded pieces gives the same bytes.
constexpr std::size_t kWritePiece = 8u << 20;

#ifdef TVL_UNVERIFIED_PAYLOAD
// Only the benchmark's second build, which times the check's cost, goes without it.
constexpr bool kCheckPayload = false;
#else
constexpr bool kCheckPayload = true;
#endif

struct EInstallFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// With `flush`, returns only once the bytes are on the disk: a temporary file that is to
// replace an installed one must not be a name over a cache that a power cut loses.
void WriteWhole(const std::string& path, const char* data, std::size_t size, bool flush = false) {
  auto file = platform::Os().Fs.CreateForWrite(path);
  if (!file) throw EInstallFailure("cannot create " + path);
  for (std::size_t done = 0; done < size;) {
    const std::size_t piece = std::min(kWritePiece, size - done);
    if (!file->Write(data + done, piece)) throw EInstallFailure("cannot write " + path);
    done += piece;
  }
  if (flush && !file->Flush()) throw EInstallFailure("cannot flush " + path);
}

// Puts the temporary file in the target's place. On NT it is one replacing move, so a
// failure at any point (the target read-only, running, or held open by a program that
// lets it be deleted; the temporary file taken away by a scanner) leaves the installed
// file as it was. The 9x family has no such call: delete, then rename.
void ReplaceTarget(const std::string& temp, const std::string& target) {
  auto& os = platform::Os();
  if (os.Sys.PlatformId() == win::kPlatformWin32Nt) {
    if (!os.Fs.MoveFileReplacing(temp, target)) throw EInstallFailure("cannot replace " + target);
    return;
  }
  if (!os.Fs.DeleteFile(target)) throw EInstallFailure("cannot delete " + target);
  if (!os.Fs.MoveFile(temp, target)) throw EInstallFailure("cannot rename " + temp);
}

// The versions of the incoming (temporary) and installed file, as the question shows them.
struct TVersionVerdict {
  bool Older = false;
  std::string Incoming;
  std::string Installed;
};

TVersionVerdict CompareNumbers(std::int32_t (*probe)(const std::string&), const std::string& temp,
                               const std::string& target) {
  const std::int32_t incoming = probe(temp);
  const std::int32_t installed = probe(target);
  return {installed > incoming, std::to_string(incoming), std::to_string(installed)};
}

TVersionVerdict Compare(const std::string& type, const std::string& temp,
                        const std::string& target) {
  if (type == "exe") {
    TVersionVerdict verdict;
    verdict.Incoming = GetFileVersionString(temp);
    verdict.Installed = GetFileVersionString(target);
    verdict.Older = !verdict.Installed.empty() && verdict.Incoming != verdict.Installed &&
                    IsOlderVersion(verdict.Incoming, verdict.Installed);
    return verdict;
  }
  if (type == "pak") return CompareNumbers(ReadPakVersion, temp, target);
  if (type == "3bs") return CompareNumbers(Read3bsVersion, temp, target);
  if (type == "cok") return CompareNumbers(ReadCokVersion, temp, target);
  // "lng": a "!" in the target marks a file replaced without reading its version.
  if (target.find('!') != std::string::npos) return {};
  return CompareNumbers(ReadLngVersion, temp, target);
}

bool IsVersionedType(const std::string& type) {
  return type == "exe" || type == "pak" || type == "3bs" || type == "lng" || type == "cok";
}

bool AskReplaceWithOlder(const std::string& target, const TVersionVerdict& verdict) {
  if (ActiveLanguage >= 0) {
    const std::string text = LangFormat("olderfilever", {target}, false) + "\r\n" +
                             verdict.Incoming + "<" + verdict.Installed;
    return IsYes(platform::Os().Boxes.MessageBoxEx(text, LangString("soundquest"),
                                                   flags::kQuestionTopmost, MessageLanguageId));
  }
  if (SetupState.UiRussian)
    return IsYes(ShowBox(true,
                         install_texts::OlderFileQuestionRu(target, verdict.Installed,
                                                            verdict.Incoming),
                         install_texts::kQuestionCaptionRu, flags::kQuestionTopmost));
  return IsYes(ShowBox(false,
                       install_texts::OlderFileQuestionEn(target, verdict.Installed,
                                                          verdict.Incoming),
                       install_texts::kQuestionCaptionEn, flags::kQuestionTopmost));
}

class TResourceLock {
 public:
  explicit TResourceLock(const platform::ResourceView& view) : View(view) {}
  ~TResourceLock() { platform::Os().Res.Release(View); }
  TResourceLock(const TResourceLock&) = delete;
  TResourceLock& operator=(const TResourceLock&) = delete;

 private:
  platform::ResourceView View;
};

// The digests that the build made of the payload (Type, Name); nothing when the setup carries
// no table, a damaged one (its size among it), one that cannot be read, or one without this
// file.
std::optional<TFileDigests> BuiltDigests(const std::string& type, const std::string& name) {
  auto& os = platform::Os();
  platform::ResourceView view;
  if (!os.Res.Find(kDigestTableType, kDigestTableName, view)) return std::nullopt;
  TResourceLock lock(view);
  if (view.Size > kMaxDigestTableSize) return std::nullopt;
  std::string bytes(view.Size, '\0');
  if (!os.Sys.FillBuffer(bytes.data(), os.Res.Source(view), view.Size, nullptr))
    return std::nullopt;
  const std::optional<TDigestTable> table = DecodeDigestTable(bytes.data(), bytes.size());
  const TFileDigests* file = table ? FindFileDigests(*table, type, name) : nullptr;
  if (!file) return std::nullopt;
  return *file;
}

// A buffer holding the payload, its bytes proven to be the ones the build embedded before
// any of them is written: a setup damaged on its way to the user must not install, nor put
// over an installed file, a damaged file. A file that nothing vouches for is refused like a
// damaged one, before its memory is asked for; so is one whose bytes cannot all be read (the
// setup's own file cut short or its medium failing while it runs).
platform::UniqueBuffer VerifiedCopy(const platform::ResourceView& payload, const std::string& type,
                                    const std::string& name) {
  auto& os = platform::Os();
  std::optional<TFileDigests> built;
  if (kCheckPayload) {
    built = BuiltDigests(type, name);
    if (!built || built->Size != payload.Size) throw EInstallFailure("no digest of " + name);
  }
  platform::UniqueBuffer buffer = os.Sys.AllocateBuffer(payload.Size);
  if (!buffer) throw EInstallFailure("no memory for " + name);
  std::vector<std::uint64_t> digests(kCheckPayload ? platform::DigestChunkCount(payload.Size) : 0);
  if (!os.Sys.FillBuffer(buffer.get(), os.Res.Source(payload), payload.Size,
                         kCheckPayload ? digests.data() : nullptr))
    throw EInstallFailure("cannot read " + name);
  if (kCheckPayload && digests != built->Chunks) throw EInstallFailure("damaged payload " + name);
  return buffer;
}

void ReportCantInstall(const std::string& target) {
  ShowErrorBox(install_texts::CantInstallEn(target), install_texts::CantInstallRu(target));
}

}  // namespace

void ExtractPayloadFile(const std::string& Name, const std::string& Type,
                        const std::string& Target, bool Check) {
  auto& os = platform::Os();
  platform::ResourceView payload;
  // A payload the program does not carry must not cost the installed file, nor leave an
  // empty file in its place.
  if (!os.Res.Find(Type, Name, payload)) {
    ReportCantInstall(Target);
    return;
  }
  TResourceLock lock(payload);

  bool older = false;
  try {
    const platform::UniqueBuffer buffer = VerifiedCopy(payload, Type, Name);

    const bool policy = Check && IsVersionedType(Type) && os.Fs.FileExists(Target);
    if (!policy) {
      WriteWhole(Target, buffer.get(), payload.Size);
    } else {
      const std::string temp = Target + "0";
      WriteWhole(temp, buffer.get(), payload.Size, true);
      const TVersionVerdict verdict = Compare(Type, temp, Target);
      older = verdict.Older;
      bool replace = true;
      if (older) {
        HideWindow();
        replace = AskReplaceWithOlder(Target, verdict);
        if (!replace) os.Fs.DeleteFile(temp);  // a failure here leaves the file, unreported
      }
      if (replace) ReplaceTarget(temp, Target);
    }
    if (older) ShowProgress("", "");
  } catch (...) {
    ReportCantInstall(Target);
  }
}
