-- The vector tables every binding is tested against (tests/data, comment lines dropped), through
-- the text and the float8 forms of the functions. A failure must be of the table's kind, with
-- its SQLSTATE: invalid text 22P02, overflow 22003, out of reach or invalid code 22023. What is
-- shown does not depend on how many rows a table has, so that rows can be added to it.
CREATE FUNCTION outcome(query text) RETURNS text LANGUAGE plpgsql AS $$
DECLARE
  result text;
BEGIN
  EXECUTE query INTO result;
  RETURN result;
EXCEPTION WHEN OTHERS THEN
  RETURN 'error:' || split_part(SQLERRM, ':', 1) || ' ' || SQLSTATE;
END
$$;
CREATE FUNCTION with_sqlstate(expected text) RETURNS text LANGUAGE sql IMMUTABLE
RETURN expected || CASE expected
  WHEN 'error:conversion error' THEN ' 22P02'
  WHEN 'error:overflow error' THEN ' 22003'
  WHEN 'error:out of reach' THEN ' 22023'
  WHEN 'error:invalid position code' THEN ' 22023'
  ELSE '' END;
CREATE FUNCTION is_plain_number(text) RETURNS boolean LANGUAGE sql IMMUTABLE
RETURN $1 ~ '^-?[0-9]+(\.[0-9]+)?$';

CREATE TABLE encode_vectors (n serial, lon_deg text, lon_min text, lon_sec text, lat_deg text,
  lat_min text, lat_sec text, corr_lon text, corr_lat text, expected text);
\copy encode_vectors (lon_deg, lon_min, lon_sec, lat_deg, lat_min, lat_sec, corr_lon, corr_lat, expected) FROM 'data/encode.csv' WITH (FORMAT csv, FORCE_NOT_NULL (lon_deg, lon_min, lon_sec, lat_deg, lat_min, lat_sec, corr_lon, corr_lat, expected))
CREATE TABLE encode_outcomes AS
SELECT n, 'text' AS form, with_sqlstate(expected) AS expected,
       outcome(format('SELECT vemo_encode_dms(%L, %L, %L, %L, %L, %L, %L, %L)', lon_deg, lon_min,
                      lon_sec, lat_deg, lat_min, lat_sec, corr_lon, corr_lat)) AS got
FROM encode_vectors
UNION ALL
SELECT n, 'float8', with_sqlstate(expected),
       outcome(format('SELECT vemo_encode_dms(%s::float8, %s, %s, %s, %s, %s, %s::float8, %s)',
                      lon_deg, lon_min, lon_sec, lat_deg, lat_min, lat_sec, corr_lon, corr_lat))
FROM encode_vectors
WHERE is_plain_number(lon_deg) AND is_plain_number(lon_min) AND is_plain_number(lon_sec)
  AND is_plain_number(lat_deg) AND is_plain_number(lat_min) AND is_plain_number(lat_sec)
  AND is_plain_number(corr_lon) AND is_plain_number(corr_lat);
SELECT form, expected LIKE 'error:%' AS failure, count(*) > 0 AS present,
       bool_and(got = expected) AS all_match
FROM encode_outcomes GROUP BY 1, 2 ORDER BY 1, 2;
SELECT * FROM encode_outcomes WHERE got IS DISTINCT FROM expected ORDER BY n, form;

-- Failures have fewer fields than results, and these tables quote none: read as lines.
CREATE TABLE decode_vectors (n serial, line text);
\copy decode_vectors (line) FROM 'data/decode.csv' WITH (FORMAT text, DELIMITER '|')
CREATE TABLE decode_outcomes AS
SELECT n, with_sqlstate(CASE WHEN f[4] LIKE 'error:%' THEN f[4] ELSE array_to_string(f[4:9], ' ')
                        END) AS expected,
       outcome(format('SELECT vemo_dms(%L, %L, %L)', f[1], f[2], f[3])) AS got
FROM (SELECT n, string_to_array(line, ',') AS f FROM decode_vectors) AS v;
SELECT expected LIKE 'error:%' AS failure, count(*) > 0 AS present,
       bool_and(got = expected) AS all_match
FROM decode_outcomes GROUP BY 1 ORDER BY 1;
SELECT * FROM decode_outcomes WHERE got IS DISTINCT FROM expected ORDER BY n;

-- code,reference,latitude difference,longitude difference
CREATE TABLE compare_vectors (n serial, line text);
\copy compare_vectors (line) FROM 'data/compare.csv' WITH (FORMAT text, DELIMITER '|')
CREATE TABLE compare_outcomes AS
SELECT n, 'lon' AS difference, with_sqlstate(coalesce(f[4], f[3])) AS expected,
       outcome(format('SELECT vemo_compare_lon(%L, %L)', f[1], f[2])) AS got
FROM (SELECT n, string_to_array(line, ',') AS f FROM compare_vectors) AS v
UNION ALL
SELECT n, 'lat', with_sqlstate(f[3]), outcome(format('SELECT vemo_compare_lat(%L, %L)', f[1], f[2]))
FROM (SELECT n, string_to_array(line, ',') AS f FROM compare_vectors) AS v;
SELECT difference, expected LIKE 'error:%' AS failure, count(*) > 0 AS present,
       bool_and(got = expected) AS all_match
FROM compare_outcomes GROUP BY 1, 2 ORDER BY 1, 2;
SELECT * FROM compare_outcomes WHERE got IS DISTINCT FROM expected ORDER BY n, difference;

-- Positions in decimal degrees with the batch converter's codes (miralto-cli, run by the test):
-- the same codes from numbers, from texts and from written coordinates; decoded to degrees,
-- minutes and seconds and encoded again, each gives its code back.
CREATE TABLE sites (site text, lon text, lat text, code text);
\copy sites FROM 'data/sites.csv' WITH (FORMAT csv)
SELECT count(*) AS sites,
       count(*) FILTER (WHERE vemo_encode(lon::float8, lat::float8) = code) AS from_float8,
       count(*) FILTER (WHERE vemo_encode(lon, lat) = code) AS from_text,
       count(*) FILTER (WHERE vemo_encode_notation(lat || 'N', lon || 'E') = code) AS from_notation,
       count(*) FILTER (WHERE vemo_encode_dms(d[1], d[2], d[3], d[4], d[5], d[6]) = code)
         AS round_trip
FROM (SELECT *, string_to_array(vemo_dms(code), ' ') AS d FROM sites) AS s;
