/* The installed libmiralto as a C program sees it: a table of operations with their texts, the
 * error statuses and messages, and buffers that are too small. */
#include <miralto.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

static void check(int ok, const char* what, const char* got) {
  if (!ok) {
    ++failures;
    fprintf(stderr, "FAILED: %s (got \"%s\")\n", what, got);
  }
}

enum operation {
  TO_DMS,
  TO_DD,
  ENCODE,
  ENCODE_DMS,
  ENCODE_NOTATION,
  NOTATION_DD,
  DECODE,
  DECODE_DD,
  COMPARE
};

struct row {
  enum operation operation;
  const char* in[6];
  miralto_corrections corrections;
  miralto_status status;
  const char* out; /* the result texts joined by blanks, or the start of the message */
};

static const struct row rows[] = {
    {TO_DMS, {"113.288959", "23.236255"}, {0, 0}, MIRALTO_OK, "113 17 20.24048 23 14 10.52032"},
    {TO_DMS, {"", "abc"}, {0, 0}, MIRALTO_OK, "0 0 0 0 0 0"},
    {TO_DMS, {"1e39", "0"}, {0, 0}, MIRALTO_OVERFLOW_ERROR, "overflow error: "},
    {TO_DD,
     {"113", "17", "20.24048", "23", "14", "10.52032"},
     {0, 0},
     MIRALTO_OK,
     "113.288955688889 23.2362556444444"},
    {TO_DD,
     {"113", "", "0", "23", "0", "0"},
     {0, 0},
     MIRALTO_CONVERSION_ERROR,
     "conversion error: longitude minutes: "},
    {ENCODE, {"113.288959", "23.236255"}, {0, 0}, MIRALTO_OK, "8i4k7zwpg"},
    {ENCODE, {"1", "2"}, {0, 0}, MIRALTO_OUT_OF_REACH, "out of reach: longitude "},
    {ENCODE_DMS, {"113", "17", "39.5", "23", "13", "59.9"}, {0, 0}, MIRALTO_OK, "87ak7vtpg"},
    {ENCODE_DMS, {"142", "7", "13.5", "77", "7", "13.5"}, {0, 0}, MIRALTO_OK, "5zzzzzzzz"},
    {ENCODE_DMS, {"113", "17", "39.5", "23", "13", "59.9"}, {193, -106}, MIRALTO_OK, "8i4k7zwpg"},
    {ENCODE_DMS,
     {"113", "x", "0", "23", "0", "0"},
     {0, 0},
     MIRALTO_CONVERSION_ERROR,
     "conversion error: longitude minutes: \"x\""},
    {ENCODE_NOTATION,
     {"23\xc2\xb0"
      "13'59.9\"N",
      "E113d17m39.5s"},
     {0, 0},
     MIRALTO_OK,
     "87ak7vtpg"},
    {ENCODE_NOTATION, {"23.5N", "23.5N"}, {0, 0}, MIRALTO_CONVERSION_ERROR, "conversion error: "},
    {NOTATION_DD, {"23:30S", "113.5E"}, {0, 0}, MIRALTO_OK, "113.5 -23.5"},
    {DECODE, {"87ak7vtpg"}, {0, 0}, MIRALTO_OK, "113 17 39.5 23 13 59.9"},
    {DECODE, {"8i4k7zwpg"}, {-193, 106}, MIRALTO_OK, "113 17 0.9 23 14 21.1"},
    {DECODE, {"8i4k7zwpl"}, {0, 0}, MIRALTO_INVALID_CODE, "invalid position code: "},
    {DECODE_DD, {"8i4k7zwpg"}, {-193, 106}, MIRALTO_OK, "113.283583333333 23.2391944444444"},
    {COMPARE, {"8i4k7zwpg", "87ak7vtpg"}, {0, 0}, MIRALTO_OK, "-193 106"},
    {COMPARE, {"", "87ak7vtpg"}, {0, 0}, MIRALTO_INVALID_CODE, "invalid position code: the code"},
};

/* Runs a row's operation into `results` (`count` is set to how many there are). */
static miralto_status run(const struct row* r, miralto_buffer results[6], int* count,
                          miralto_buffer* message) {
  switch (r->operation) {
    case TO_DMS:
      *count = 6;
      return miralto_to_dms(r->in[0], r->in[1], results, message);
    case TO_DD:
      *count = 2;
      return miralto_to_dd(r->in, results, message);
    case ENCODE:
      *count = 1;
      return miralto_encode(r->in[0], r->in[1], r->corrections, results, message);
    case ENCODE_DMS:
      *count = 1;
      return miralto_encode_dms(r->in, r->corrections, results, message);
    case ENCODE_NOTATION:
      *count = 1;
      return miralto_encode_notation(r->in[0], r->in[1], r->corrections, results, message);
    case NOTATION_DD:
      *count = 2;
      return miralto_notation_to_dd(r->in[0], r->in[1], results, message);
    case DECODE:
      *count = 6;
      return miralto_decode(r->in[0], r->corrections, results, message);
    case DECODE_DD:
      *count = 2;
      return miralto_decode_dd(r->in[0], r->corrections, results, message);
    case COMPARE:
      *count = 2;
      return miralto_compare(r->in[0], r->in[1], results, message);
  }
  return MIRALTO_INTERNAL_ERROR;
}

static void check_rows(void) {
  size_t i;
  for (i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
    char storage[6][MIRALTO_RESULT_SIZE];
    char text[512];
    char joined[6 * MIRALTO_RESULT_SIZE] = "";
    miralto_buffer results[6];
    miralto_buffer message;
    int count = 0;
    int k;
    miralto_status status;
    for (k = 0; k < 6; ++k) {
      results[k].data = storage[k];
      results[k].size = sizeof storage[k];
    }
    message.data = text;
    message.size = sizeof text;
    status = run(&rows[i], results, &count, &message);
    for (k = 0; k < count; ++k) {
      if (k > 0) strcat(joined, " ");
      strcat(joined, storage[k]);
    }
    if (rows[i].status == MIRALTO_OK) {
      check(status == MIRALTO_OK && strcmp(joined, rows[i].out) == 0 && text[0] == '\0',
            rows[i].out, status == MIRALTO_OK ? joined : text);
    } else {
      check(status == rows[i].status && strncmp(text, rows[i].out, strlen(rows[i].out)) == 0 &&
                message.length == strlen(text) && count > 0 && storage[0][0] == '\0' &&
                results[0].length == 0,
            rows[i].out, text);
    }
  }
}

/* A buffer too small for the result: the status says so, the length says what to allocate, and
 * nothing half written is left behind. A small message buffer keeps the status of the error. */
static void check_small_buffers(void) {
  char small[4] = "xyz";
  char text[8];
  miralto_buffer code = {small, sizeof small, 0};
  miralto_buffer message = {text, sizeof text, 0};
  miralto_corrections none = {0, 0};
  miralto_status status = miralto_encode("113.288959", "23.236255", none, &code, &message);
  check(status == MIRALTO_BUFFER_TOO_SMALL && code.length == 9 && small[0] == '\0',
        "a small result buffer gives its needed length", small);

  code.data = NULL;
  code.size = 0;
  status = miralto_encode("113.288959", "23.236255", none, &code, NULL);
  check(status == MIRALTO_BUFFER_TOO_SMALL && code.length == 9, "a null buffer asks the length",
        "");

  {
    char room[MIRALTO_RESULT_SIZE];
    code.data = room;
    code.size = sizeof room;
    status = miralto_encode("1", "2", none, &code, &message);
    check(status == MIRALTO_OUT_OF_REACH && message.length > sizeof text &&
              strlen(text) == sizeof text - 1 && strncmp(text, "out of ", 7) == 0,
          "a small message buffer keeps the kind and gives the needed length", text);
  }
}

/* Whether `text` ends on a character boundary: no UTF-8 sequence at its end is left short. */
static int ends_whole(const char* text) {
  size_t length = strlen(text), start = length, need;
  unsigned char lead;
  while (start > 0 && ((unsigned char)text[start - 1] & 0xC0) == 0x80) --start;
  if (start == 0) return length == 0;
  lead = (unsigned char)text[start - 1];
  need = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  return length - (start - 1) == need;
}

/* A message cut to fit the caller's buffer ends on a character boundary, at every size. */
static void check_cut_messages(void) {
  char room[MIRALTO_RESULT_SIZE];
  char text[256];
  miralto_buffer code = {room, sizeof room, 0};
  miralto_buffer message = {text, sizeof text, 0};
  miralto_corrections none = {0, 0};
  size_t size, whole;
  miralto_encode("1", "2", none, &code, &message); /* "... 1° lies outside ..." */
  whole = message.length;
  check(whole < sizeof text && strstr(text, "\xC2\xB0") != NULL, "the message has a degree sign",
        text);
  for (size = 1; size <= whole; ++size) {
    message.size = size;
    miralto_encode("1", "2", none, &code, &message);
    if (!ends_whole(text) || strlen(text) >= size || strlen(text) + 4 < size) {
      check(0, "a cut message ends on a character boundary", text);
      break;
    }
  }
}

static void check_arguments(void) {
  char room[MIRALTO_RESULT_SIZE];
  char text[128];
  miralto_buffer code = {room, sizeof room, 0};
  miralto_buffer message = {text, sizeof text, 0};
  miralto_corrections none = {0, 0};
  const char* dms[6] = {"113", "17", NULL, "23", "13", "59.9"};
  check(miralto_encode(NULL, "23", none, &code, &message) == MIRALTO_INVALID_ARGUMENT &&
            strstr(text, "lon") != NULL,
        "a null text is an invalid argument", text);
  check(miralto_encode_dms(dms, none, &code, &message) == MIRALTO_INVALID_ARGUMENT,
        "a null field is an invalid argument", text);
  check(miralto_encode("113", "23", none, NULL, &message) == MIRALTO_INVALID_ARGUMENT,
        "a null result buffer is an invalid argument", text);
  check(miralto_encode_degrees(113.288959, 23.236255, none, &code, NULL) == MIRALTO_OK &&
            strcmp(room, "8i4k7zwpg") == 0,
        "numbers encode as their texts", room);
}

/* The array forms: each element as the scalar function gives it, the earliest failure reported
 * whatever the split among the cores. */
static void check_arrays(void) {
  enum { N = 50000 };
  static double lon[N], lat[N];
  static char codes[N * MIRALTO_CODE_SIZE];
  static miralto_status statuses[N];
  char text[256];
  miralto_buffer message = {text, sizeof text, 0};
  miralto_corrections none = {0, 0};
  size_t failed = 0;
  size_t i;
  int same = 1;
  miralto_status status;
  for (i = 0; i < N; ++i) {
    lon[i] = 70.5 + (double)i * 0.0007;
    lat[i] = 5.5 + (double)i * 0.0005;
  }
  lon[40000] = 1;         /* out of reach, in a later share */
  lat[30000] = strtod("nan", NULL); /* a conversion error, the earliest */
  status = miralto_encode_array(lon, lat, N, none, codes, statuses, &failed, &message);
  check(status == MIRALTO_CONVERSION_ERROR && failed == 30000 &&
            strncmp(text, "element 30000: conversion error", 31) == 0,
        "the earliest failure of an array", text);
  check(statuses[30000] == MIRALTO_CONVERSION_ERROR && statuses[40000] == MIRALTO_OUT_OF_REACH &&
            statuses[0] == MIRALTO_OK && codes[30000 * MIRALTO_CODE_SIZE] == '\0' &&
            codes[40000 * MIRALTO_CODE_SIZE] == '\0',
        "each element's status, and empty codes where it failed", "");
  for (i = 0; i < N; i += 997) {
    char room[MIRALTO_RESULT_SIZE];
    miralto_buffer code = {room, sizeof room, 0};
    if (miralto_encode_degrees(lon[i], lat[i], none, &code, NULL) != statuses[i] ||
        (statuses[i] == MIRALTO_OK && strcmp(room, codes + i * MIRALTO_CODE_SIZE) != 0)) {
      same = 0;
    }
  }
  check(same, "every element as the scalar function gives it", "");

  {
    const char* in[3] = {"8i4k7zwpg", NULL, "8i4k7zwpl"};
    const char* ref[3] = {"87ak7vtpg", "87ak7vtpg", "87ak7vtpg"};
    double dlon[3], dlat[3];
    int32_t dx[3], dy[3];
    miralto_corrections c = {-193, 106};
    status = miralto_decode_dd_array(in, 3, c, dlon, dlat, statuses, &failed, &message);
    check(status == MIRALTO_INVALID_ARGUMENT && failed == 1 && statuses[0] == MIRALTO_OK &&
              statuses[2] == MIRALTO_INVALID_CODE && dlon[0] == 113.283583333333 &&
              dlat[0] == 23.2391944444444 && dlon[1] != dlon[1],
          "decoding an array, a null text an invalid argument", text);
    status = miralto_compare_array(in, ref, 1, dx, dy, NULL, NULL, &message);
    check(status == MIRALTO_OK && dx[0] == -193 && dy[0] == 106 && text[0] == '\0',
          "comparing an array", text);
    check(miralto_compare_array(in, NULL, 1, dx, dy, NULL, NULL, NULL) ==
              MIRALTO_INVALID_ARGUMENT,
          "a null array is an invalid argument", "");
  }
}

static void check_names(void) {
  check(strcmp(miralto_version(), MIRALTO_VERSION_STRING) == 0, "library and header versions",
        miralto_version());
  check(strcmp(miralto_status_name(MIRALTO_OUT_OF_REACH), "out of reach") == 0 &&
            strcmp(miralto_status_name(MIRALTO_BUFFER_TOO_SMALL), "buffer too small") == 0,
        "status names", miralto_status_name(MIRALTO_OUT_OF_REACH));
}

int main(void) {
  check_rows();
  check_small_buffers();
  check_cut_messages();
  check_arguments();
  check_names();
  check_arrays();
  if (failures > 0) {
    fprintf(stderr, "%d failed\n", failures);
    return 1;
  }
  return 0;
}
