/* libmiralto: the position-code conversions of Miralto for C and for any language's foreign-
 * function interface. Every function is reentrant and thread-safe: there is no global state, the
 * corrections are arguments. Texts are UTF-8 and NUL-terminated. Nothing is thrown or allocated
 * for the caller: results and messages go into the caller's buffers. */
#ifndef MIRALTO_H
#define MIRALTO_H

#include <stddef.h>
#include <stdint.h>

#include "miralto_version.h"

#if defined(_WIN32)
#if defined(MIRALTO_BUILDING_LIBRARY)
#define MIRALTO_API __declspec(dllexport)
#else
#define MIRALTO_API __declspec(dllimport)
#endif
#else
#define MIRALTO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The outcome of a call: MIRALTO_OK, one of the six error kinds of the tool, or a fault of the
 * call itself. */
typedef enum miralto_status {
  MIRALTO_OK = 0,
  MIRALTO_CONVERSION_ERROR = 1, /* a text that must be a number is not one */
  MIRALTO_OVERFLOW_ERROR = 2,   /* a value leaves the range of its type */
  MIRALTO_FILE_ERROR = 3,       /* a file cannot be read or written */
  MIRALTO_END_OF_FILE = 4,      /* a file ends too early */
  MIRALTO_OUT_OF_REACH = 5,     /* a position the code cannot name */
  MIRALTO_INVALID_CODE = 6,     /* a text that is not a position code */
  MIRALTO_BUFFER_TOO_SMALL = 7, /* a result buffer is too small; its length says what it needs */
  MIRALTO_INVALID_ARGUMENT = 8, /* a null pointer where a text or a buffer is required */
  MIRALTO_OUT_OF_MEMORY = 9,
  MIRALTO_INTERNAL_ERROR = 10 /* a fault of the library itself */
} miralto_status;

/* The two correction values in tenths of arc-second: encoding takes them off, decoding adds them
 * back. {0, 0} is no correction. */
typedef struct miralto_corrections {
  int32_t lon;
  int32_t lat;
} miralto_corrections;

/* A caller's buffer for one text. The library writes at most `size` bytes, the terminating NUL
 * included, and always sets `length` to the length of the whole text (without the NUL), so a
 * caller whose buffer was too small (length >= size) knows what to allocate. `data` may be NULL
 * when `size` is 0, to ask for the length alone. */
typedef struct miralto_buffer {
  char* data;
  size_t size;
  size_t length;
} miralto_buffer;

/* Room enough for any result text (a code, a number text); messages may need more. */
#define MIRALTO_RESULT_SIZE 32

/* The library's version as "MAJOR.MINOR.PATCH"; may differ from MIRALTO_VERSION_STRING when a
 * program runs with a newer library of the same major version. */
MIRALTO_API const char* miralto_version(void);

/* The status as a user reads it: "conversion error", "out of reach", "buffer too small"... */
MIRALTO_API const char* miralto_status_name(miralto_status status);

/* Every operation below works like the window's button it names and gives the texts the window
 * shows. On MIRALTO_OK every result buffer holds its text. On failure every result buffer holds
 * the empty text (lengths still say what a too-small buffer needs) and `message`, which may be
 * NULL, holds the message: the kind, then the offending text and what was expected. A message cut
 * short by a small buffer does not change the status. */

/* Decimal degrees to degrees, minutes, seconds ("↑"): `lon` and `lat` are decimal-degree texts;
 * `dms` receives lon degrees, minutes, seconds, then lat degrees, minutes, seconds. */
MIRALTO_API miralto_status miralto_to_dms(const char* lon, const char* lat, miralto_buffer dms[6],
                                          miralto_buffer* message);

/* Degrees, minutes, seconds to decimal degrees ("↓"): six texts in, lon and lat out. */
MIRALTO_API miralto_status miralto_to_dd(const char* const dms[6], miralto_buffer dd[2],
                                         miralto_buffer* message);

/* Six degree/minute/second texts to the position code ("→"). */
MIRALTO_API miralto_status miralto_encode_dms(const char* const dms[6],
                                              miralto_corrections corrections, miralto_buffer* code,
                                              miralto_buffer* message);

/* Decimal-degree texts to the position code ("↑" then "→"). */
MIRALTO_API miralto_status miralto_encode(const char* lon, const char* lat,
                                          miralto_corrections corrections, miralto_buffer* code,
                                          miralto_buffer* message);

/* The same for numbers: the result is what the shortest text that reads back as each number
 * gives. NaN is a conversion error, an infinity an overflow error. */
MIRALTO_API miralto_status miralto_encode_degrees(double lon, double lat,
                                                  miralto_corrections corrections,
                                                  miralto_buffer* code, miralto_buffer* message);

/* The position code to six degree/minute/second texts ("←"). */
MIRALTO_API miralto_status miralto_decode(const char* code, miralto_corrections corrections,
                                          miralto_buffer dms[6], miralto_buffer* message);

/* The position code to decimal-degree texts ("←" then "↓"). */
MIRALTO_API miralto_status miralto_decode_dd(const char* code, miralto_corrections corrections,
                                             miralto_buffer dd[2], miralto_buffer* message);

/* Code minus reference ("计算差值"): the longitude then the latitude difference in tenths of
 * arc-second, as texts. */
MIRALTO_API miralto_status miralto_compare(const char* code, const char* reference,
                                           miralto_buffer difference[2], miralto_buffer* message);

#ifdef __cplusplus
}
#endif

#endif /* MIRALTO_H */
