-- The functions with the values of the SQLite extension, numbers and texts alike.
SELECT vemo_encode(113.288959, 23.236255) AS numbers,
       vemo_encode('113.288959', '23.236255') AS texts,
       vemo_encode(113.288959::float8, 23.236255::float8, 193, -106) AS corrected,
       vemo_encode('113.288959', '23.236255', 193, -106) AS texts_corrected;
-- Corrections read as the window reads its correction fields: the nearest integer, halves to even.
SELECT vemo_encode(113.288959, 23.236255, 192.5, '-106.2') AS mixed,
       vemo_encode(113.288959, 23.236255, '192.5abc', ' -106') AS lenient_texts,
       vemo_encode(113.288959, 23.236255, 192, -106) AS integers;
SELECT vemo_encode_dms(113, 17, 39.5, 23, 13, 59.9) AS dms_numbers,
       vemo_encode_dms('113', '17', '39.5', '23', '13', '59.9', 193, -106) AS dms_texts_corrected,
       vemo_encode_notation('23°13′59.9″N', 'E113°17′39.5″') AS notation,
       vemo_encode_notation('23.236255N', '113.288959E', 193, -106) AS notation_corrected;
SELECT vemo_lon('8i4k7zwpg', -193, 106) AS lon_corrected,
       vemo_lat('8i4k7zwpg', -193, 106) AS lat_corrected,
       vemo_lon('87ak7vtpg') AS lon,
       vemo_lat('87ak7vtpg') AS lat;
SELECT vemo_dms('87ak7vtpg') AS dms, vemo_dms('500000000') AS dms_of_digits,
       vemo_dms('8i4k7zwpg', '-193', '106') AS dms_corrected;
SELECT vemo_compare_lon('8i4k7zwpg', '87ak7vtpg') AS lon_difference,
       vemo_compare_lat('8i4k7zwpg', '87ak7vtpg') AS lat_difference,
       pg_typeof(vemo_compare_lon('8i4k7zwpg', '87ak7vtpg')) AS type;
-- The decoded numbers are the 15 digits the window's text shows, read back exactly.
SELECT vemo_lon('87ak7vtpg')::text AS lon_text, vemo_lat('5zzzzzzzz')::text AS lat_text;

-- NULL in any argument gives NULL, and so does a float8 NaN (a missing value, as in the other
-- bindings); nothing is raised.
SELECT vemo_encode(NULL, 23) IS NULL AS encode_null,
       vemo_encode(113, 23, NULL, 0) IS NULL AS correction_null,
       vemo_encode('NaN'::float8, 23) IS NULL AS encode_nan,
       vemo_encode_dms(113, NULL, 0, 23, 0, 0) IS NULL AS dms_null,
       vemo_encode_notation(NULL, '113E') IS NULL AS notation_null,
       vemo_lon(NULL, 0, 0) IS NULL AS lon_null,
       vemo_lat(NULL) IS NULL AS lat_null,
       vemo_dms(NULL) IS NULL AS dms_null,
       vemo_compare_lat('8i4k7zwpg', NULL) IS NULL AS compare_null;
-- Over a table: the NULL row stays NULL, the others decode.
SELECT code, vemo_lon(code), vemo_lat(code), vemo_dms(code)
FROM (VALUES (1, '87ak7vtpg'), (2, NULL), (3, '5zzzzzzzz')) AS t(n, code) ORDER BY n;
