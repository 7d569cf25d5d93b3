/* The border between PostgreSQL's C and the core's C++: plain structs in, a filled result out.
 * Nothing thrown in C++ crosses it, and nothing behind it calls PostgreSQL, whose errors jump
 * over C++ frames. */
#ifndef MIRALTO_PG_H
#define MIRALTO_PG_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define MIRALTO_PG_NOEXCEPT noexcept
extern "C" {
#else
#define MIRALTO_PG_NOEXCEPT
#endif

/* One SQL argument: NULL, a float8, or a text in UTF-8 (not terminated). */
enum MiraltoPgArgKind { MIRALTO_PG_MISSING, MIRALTO_PG_NUMBER, MIRALTO_PG_TEXT };

typedef struct MiraltoPgArg {
  int kind;
  double number;
  const char* text;
  size_t length;
} MiraltoPgArg;

/* What a call gave: a value, SQL NULL, or a failure to raise as an SQL error. */
/* The failures follow MIRALTO_PG_NULL_RESULT. */
enum MiraltoPgOutcome {
  MIRALTO_PG_TEXT_RESULT,
  MIRALTO_PG_NUMBER_RESULT,
  MIRALTO_PG_INTEGER_RESULT,
  MIRALTO_PG_NULL_RESULT,
  MIRALTO_PG_INVALID_TEXT,  /* a text that must be a number is not one */
  MIRALTO_PG_OUT_OF_RANGE,  /* a value leaves the range of its type */
  MIRALTO_PG_INVALID_VALUE, /* a position out of reach, a text that is not a code */
  MIRALTO_PG_OUT_OF_MEMORY,
  MIRALTO_PG_INTERNAL_ERROR
};

/* Fixed buffers: a result never needs an allocation that could fail after the call. Messages
 * quote at most a few dozen characters of an input, so they fit; a longer one is cut at a
 * character boundary. */
typedef struct MiraltoPgResult {
  int outcome;
  double number;
  int64_t integer;
  char text[128];
  char message[1024];
  char detail[256]; /* the offending text; empty when the failure names none */
} MiraltoPgResult;

/* Runs the SQL function named `function` ("vemo_encode", as the C++ side's table names it) on
 * `count` arguments. Never throws; fills `result` whatever happens. Any missing argument (NULL, or
 * a float8 NaN) gives MIRALTO_PG_NULL_RESULT. */
void miralto_pg_call(const char* function, const MiraltoPgArg* args, int count,
                     MiraltoPgResult* result) MIRALTO_PG_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
