/* The installed libmiralto as a C program sees it: a table of operations with their texts, the
 * error statuses and messages, and buffers that are too small. */
#include <miralto.h>
#include <stdio.h>
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
  check_arguments();
  check_names();
  if (failures > 0) {
    fprintf(stderr, "%d failed\n", failures);
    return 1;
  }
  return 0;
}
