/* The PostgreSQL extension miralto: the SQL functions vemo_*. Each reads its arguments, hands
 * them to the C++ side, and only after that call has returned turns a failure into an SQL error,
 * so that PostgreSQL's error jump never crosses a C++ frame. */
#include "postgres.h"

#include "catalog/pg_type_d.h"
#include "fmgr.h"
#include "mb/pg_wchar.h"
#include "utils/builtins.h"
#include "utils/lsyscache.h"

#include "bindings/postgresql/miralto_pg.h"

PG_MODULE_MAGIC;

/* Whether each argument of the called SQL function is a text (else a float8), looked up once per
 * call site from the function's declaration. */
static const bool* argument_is_text(FunctionCallInfo fcinfo) {
  FmgrInfo* flinfo = fcinfo->flinfo;

  if (flinfo->fn_extra == NULL) {
    Oid* types;
    int count;
    bool* is_text;

    get_func_signature(flinfo->fn_oid, &types, &count);
    is_text = MemoryContextAlloc(flinfo->fn_mcxt, sizeof(bool) * (count > 0 ? count : 1));
    for (int i = 0; i < count; i++) is_text[i] = types[i] != FLOAT8OID;
    pfree(types);
    flinfo->fn_extra = is_text;
  }
  return flinfo->fn_extra;
}

static int sqlstate_of(int outcome) {
  switch (outcome) {
    case MIRALTO_PG_INVALID_TEXT:
      return ERRCODE_INVALID_TEXT_REPRESENTATION;
    case MIRALTO_PG_OUT_OF_RANGE:
      return ERRCODE_NUMERIC_VALUE_OUT_OF_RANGE;
    case MIRALTO_PG_INVALID_VALUE:
      return ERRCODE_INVALID_PARAMETER_VALUE;
    case MIRALTO_PG_OUT_OF_MEMORY:
      return ERRCODE_OUT_OF_MEMORY;
    default:
      return ERRCODE_INTERNAL_ERROR;
  }
}

/* A text of the C++ side (UTF-8) in the database's encoding. A message quotes the user's input and
 * writes angles with the degree sign, which a database in LATIN1 lacks, or partly lacks: then
 * every character outside ASCII becomes "?" rather than the message being lost to a conversion
 * error. The conversion is pure, so its error can be dropped without a subtransaction. */
static char* ascii_only(const char* text) {
  char* ascii = pstrdup(text);
  int length = 0;

  for (const unsigned char* p = (const unsigned char*)text; *p != '\0'; p++) {
    if (*p < 0x80)
      ascii[length++] = (char)*p;
    else if ((*p & 0xC0) != 0x80)
      ascii[length++] = '?';
  }
  ascii[length] = '\0';
  return ascii;
}

static const char* server_text(const char* text) {
  MemoryContext const context = CurrentMemoryContext;
  const char* const volatile source = text;
  const char* volatile converted = NULL;

  PG_TRY();
  { converted = pg_any_to_server(source, (int)strlen(source), PG_UTF8); }
  PG_CATCH();
  {
    MemoryContextSwitchTo(context);
    FlushErrorState();
    converted = ascii_only(source);
  }
  PG_END_TRY();
  return converted;
}

/* Runs `function` on the call's arguments; fills `result` with a value, or raises its failure. */
static void call(FunctionCallInfo fcinfo, const char* function, MiraltoPgResult* result) {
  const bool* is_text = argument_is_text(fcinfo);
  MiraltoPgArg args[FUNC_MAX_ARGS];
  int count = PG_NARGS();

  for (int i = 0; i < count; i++) {
    args[i].number = 0;
    args[i].text = NULL;
    args[i].length = 0;
    if (PG_ARGISNULL(i))
      args[i].kind = MIRALTO_PG_MISSING;
    else if (is_text[i]) {
      text* value = PG_GETARG_TEXT_PP(i);
      int length = VARSIZE_ANY_EXHDR(value);
      const char* utf8 = pg_server_to_any(VARDATA_ANY(value), length, PG_UTF8);

      args[i].kind = MIRALTO_PG_TEXT;
      args[i].text = utf8;
      args[i].length = utf8 == VARDATA_ANY(value) ? (size_t)length : strlen(utf8);
    } else {
      args[i].kind = MIRALTO_PG_NUMBER;
      args[i].number = PG_GETARG_FLOAT8(i);
    }
  }

  miralto_pg_call(function, args, count, result);

  if (result->outcome > MIRALTO_PG_NULL_RESULT) {
    /* Converted before the error starts, so that a conversion failure is not raised inside it. */
    const char* message = server_text(result->message);
    const char* detail = result->detail[0] != '\0' ? server_text(result->detail) : NULL;

    ereport(ERROR, (errcode(sqlstate_of(result->outcome)), errmsg_internal("%s", message),
                    detail != NULL ? errdetail_internal("%s", detail) : 0));
  }
}

static Datum text_function(FunctionCallInfo fcinfo, const char* function) {
  MiraltoPgResult result;

  call(fcinfo, function, &result);
  if (result.outcome == MIRALTO_PG_NULL_RESULT) PG_RETURN_NULL();
  PG_RETURN_TEXT_P(cstring_to_text(result.text));
}

static Datum float8_function(FunctionCallInfo fcinfo, const char* function) {
  MiraltoPgResult result;

  call(fcinfo, function, &result);
  if (result.outcome == MIRALTO_PG_NULL_RESULT) PG_RETURN_NULL();
  PG_RETURN_FLOAT8(result.number);
}

static Datum int4_function(FunctionCallInfo fcinfo, const char* function) {
  MiraltoPgResult result;

  call(fcinfo, function, &result);
  if (result.outcome == MIRALTO_PG_NULL_RESULT) PG_RETURN_NULL();
  /* A difference of two four-digit base-34 groups lies within +-34^4. */
  PG_RETURN_INT32((int32)result.integer);
}

#define MIRALTO_FUNCTION(name, kind, function) \
  PG_FUNCTION_INFO_V1(name);                   \
  Datum name(PG_FUNCTION_ARGS) { return kind##_function(fcinfo, function); }

MIRALTO_FUNCTION(miralto_encode, text, "vemo_encode")
MIRALTO_FUNCTION(miralto_encode_notation, text, "vemo_encode_notation")
MIRALTO_FUNCTION(miralto_encode_dms, text, "vemo_encode_dms")
MIRALTO_FUNCTION(miralto_lon, float8, "vemo_lon")
MIRALTO_FUNCTION(miralto_lat, float8, "vemo_lat")
MIRALTO_FUNCTION(miralto_dms, text, "vemo_dms")
MIRALTO_FUNCTION(miralto_compare_lon, int4, "vemo_compare_lon")
MIRALTO_FUNCTION(miralto_compare_lat, int4, "vemo_compare_lat")
