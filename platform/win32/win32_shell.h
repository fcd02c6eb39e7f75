#pragma once
// Shell services: folder removal, shell links, starting a program.
#include "platform/shell.h"

namespace win32 {

class Win32Shell final : public platform::Shell {
 public:
  int FileOperation(std::uint32_t function, const std::string& fromList,
                    std::uint16_t flags) override;
  // Needs COM initialised on the calling thread.
  platform::LinkResult SaveShellLink(const platform::ShellLinkFields& link) override;
  void Execute(const std::string& verb, const std::string& file, const std::string& directory,
               int showCommand) override;
};

}  // namespace win32
