-- A failure is an SQL error: the core's message as the message, the offending text as the
-- detail, and the SQLSTATE of its kind.
SELECT vemo_encode(1, 2);
\echo :LAST_ERROR_SQLSTATE
SELECT vemo_dms('8i4k7zwpl');
\echo :LAST_ERROR_SQLSTATE

CREATE FUNCTION failure(query text, OUT state text, OUT message text, OUT detail text)
LANGUAGE plpgsql AS $$
BEGIN
  EXECUTE query;
  state := 'none';
EXCEPTION WHEN OTHERS THEN
  GET STACKED DIAGNOSTICS state = RETURNED_SQLSTATE, message = MESSAGE_TEXT,
                          detail = PG_EXCEPTION_DETAIL;
END
$$;
\x on
SELECT call, (failure('SELECT ' || call)).*
FROM (VALUES
  -- invalid text: 22P02
  ('vemo_encode_dms(''113'', ''x'', ''0'', ''23'', ''0'', ''0'')'),
  ('vemo_encode_dms(''113'', ''17'', ''20.2.4'', ''23'', ''14'', ''10'', 193, -106)'),
  ('vemo_encode_dms(113, ''x'', 0, 23, 0, 0)'),  -- read as float8 by PostgreSQL
  ('vemo_encode_notation(''23.2N'', ''north'')'),
  ('vemo_encode_notation(''23.2N'', ''24.1S'')'),
  -- overflow: 22003
  ('vemo_encode(113, 23, 4294967296, 0)'),
  ('vemo_dms(''500000000'', ''0'', ''3e9'')'),
  ('vemo_encode_dms(''1e300'', 0, 0, 40, 0, 0)'),
  ('vemo_encode(''Infinity''::float8, 23)'),
  -- out of reach or invalid code: 22023
  ('vemo_encode(1, 2)'),
  ('vemo_encode(''113.288959'', ''80'')'),
  ('vemo_encode(113.288959, 23.236255, 2147483647, 0)'),
  ('vemo_lon(''8i4k7zwp'')'),
  ('vemo_lat('''')'),
  ('vemo_dms(''87AK7VTPG'')'),
  ('vemo_compare_lon(''87ak7vtpg'', ''87ak7vtpo'')'),
  ('vemo_compare_lat(''1'', ''87ak7vtpg'')')
) AS calls(call);
\x off

-- A long input is quoted cut in the message; the statement fails, the session goes on.
SELECT (failure(format('SELECT vemo_lon(%L)', repeat('é', 5000)))).message;
SELECT vemo_encode(113.288959, 23.236255);
