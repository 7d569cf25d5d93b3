// miralto-cli: converts positions one record a line, from a file or standard input.
#include "cli/invocation.h"
#include "cli/process.h"

int main(int argc, char** argv) {
  miralto::cli::Utf8Arguments arguments(argc, argv);
  miralto::cli::UseByteStreams();
  miralto::cli::Invocation invocation;
  if (const auto status =
          miralto::cli::ReadOptions(arguments.argc(), arguments.argv(), invocation)) {
    return *status;
  }
  return miralto::cli::Run(invocation);
}
