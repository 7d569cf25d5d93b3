#include "core/errors.h"

namespace miralto {

namespace {

constexpr bool RowsInKindOrder() {
  for (std::size_t i = 0; i < kErrorKindCount; ++i) {
    if (static_cast<std::size_t>(kErrorKinds[i].kind) != i) return false;
  }
  return true;
}
static_assert(RowsInKindOrder());

std::string English(MessageId id) { return std::string(EnglishPattern(id)); }

// The context, outermost first, and then the detail, each joined to the rest by kInContext.
std::string Told(const Phrase& detail, const std::vector<Phrase>& context,
                 const Patterns& patterns) {
  std::string text = Format(detail, patterns);
  for (auto frame = context.rbegin(); frame != context.rend(); ++frame) {
    text = Format({MessageId::kInContext,
                   {Argument::Text(Format(*frame, patterns)), Argument::Text(std::move(text))}},
                  patterns);
  }
  return text;
}

}  // namespace

MessageId KindMessage(ErrorKind kind) { return KindRow(kind).message; }

std::string_view KindName(ErrorKind kind) { return EnglishPattern(KindMessage(kind)); }

Error::Error(ErrorKind kind, Phrase detail, std::vector<Phrase> context)
    : std::runtime_error(Told(detail, context, English)),
      kind_(kind),
      detail_(std::move(detail)),
      context_(std::move(context)) {}

std::string Error::Message() const {
  std::string message(KindName(kind_));
  message += ": ";
  message += what();
  return message;
}

std::string Error::DetailIn(const Patterns& patterns) const {
  return Told(detail_, context_, patterns);
}

void RethrowWithContext(const Error& error, Phrase context) {
  std::vector<Phrase> frames;
  frames.reserve(error.context().size() + 1);
  frames.push_back(std::move(context));
  frames.insert(frames.end(), error.context().begin(), error.context().end());
  switch (error.kind()) {
#define MIRALTO_KIND_RETHROW(kind, error_class, message) \
  case ErrorKind::kind:                                  \
    throw error_class(error.detail(), std::move(frames));
    MIRALTO_ERROR_KINDS(MIRALTO_KIND_RETHROW)
#undef MIRALTO_KIND_RETHROW
  }
  throw Error(error.kind(), error.detail(), std::move(frames));
}

void RethrowWithContext(const Error& error, std::string_view context) {
  RethrowWithContext(error, Phrase{MessageId::kAsIs, {Argument::Word(context)}});
}

std::string Quote(std::string_view text) {
  return FormatEnglish({MessageId::kAsIs, {Argument::Quoted(text)}});
}

}  // namespace miralto
