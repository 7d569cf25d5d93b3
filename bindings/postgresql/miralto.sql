-- The position code as SQL functions, with the meanings of the SQLite extension. Every function
-- is immutable, strict (NULL in, NULL out; a float8 NaN counts as NULL too) and parallel safe, so
-- that it can back an expression index or a generated column and run in parallel workers.
-- Corrections are in tenths of arc-second; a text correction is read as the window reads its
-- correction field (the nearest integer of its leading number).

\echo Use "CREATE EXTENSION miralto" to load this file. \quit

-- Decimal degrees, as numbers or as texts, to a position code.
CREATE FUNCTION vemo_encode(lon float8, lat float8) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode(lon float8, lat float8, corr_lon float8, corr_lat float8) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode(lon float8, lat float8, corr_lon text, corr_lat text) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode(lon text, lat text) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode(lon text, lat text, corr_lon float8, corr_lat float8) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode(lon text, lat text, corr_lon text, corr_lat text) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- Two coordinates as people write them ("23.236255N", "E113°17′20.24″") to a position code.
CREATE FUNCTION vemo_encode_notation(first text, second text) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode_notation' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode_notation(first text, second text, corr_lon float8, corr_lat float8) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode_notation' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode_notation(first text, second text, corr_lon text, corr_lat text) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode_notation' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- Degrees, minutes and seconds of longitude, then of latitude, to a position code.
CREATE FUNCTION vemo_encode_dms(lon_deg float8, lon_min float8, lon_sec float8, lat_deg float8, lat_min float8, lat_sec float8) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode_dms' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode_dms(lon_deg float8, lon_min float8, lon_sec float8, lat_deg float8, lat_min float8, lat_sec float8, corr_lon float8, corr_lat float8) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode_dms' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode_dms(lon_deg float8, lon_min float8, lon_sec float8, lat_deg float8, lat_min float8, lat_sec float8, corr_lon text, corr_lat text) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode_dms' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode_dms(lon_deg text, lon_min text, lon_sec text, lat_deg text, lat_min text, lat_sec text) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode_dms' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode_dms(lon_deg text, lon_min text, lon_sec text, lat_deg text, lat_min text, lat_sec text, corr_lon float8, corr_lat float8) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode_dms' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_encode_dms(lon_deg text, lon_min text, lon_sec text, lat_deg text, lat_min text, lat_sec text, corr_lon text, corr_lat text) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_encode_dms' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- A position code to decimal degrees, and to the six degree/minute/second texts.
CREATE FUNCTION vemo_lon(code text) RETURNS float8
  AS 'MODULE_PATHNAME', 'miralto_lon' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_lon(code text, corr_lon float8, corr_lat float8) RETURNS float8
  AS 'MODULE_PATHNAME', 'miralto_lon' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_lon(code text, corr_lon text, corr_lat text) RETURNS float8
  AS 'MODULE_PATHNAME', 'miralto_lon' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_lat(code text) RETURNS float8
  AS 'MODULE_PATHNAME', 'miralto_lat' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_lat(code text, corr_lon float8, corr_lat float8) RETURNS float8
  AS 'MODULE_PATHNAME', 'miralto_lat' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_lat(code text, corr_lon text, corr_lat text) RETURNS float8
  AS 'MODULE_PATHNAME', 'miralto_lat' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_dms(code text) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_dms' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_dms(code text, corr_lon float8, corr_lat float8) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_dms' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_dms(code text, corr_lon text, corr_lat text) RETURNS text
  AS 'MODULE_PATHNAME', 'miralto_dms' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- A code minus a reference, in tenths of arc-second.
CREATE FUNCTION vemo_compare_lon(code text, reference text) RETURNS integer
  AS 'MODULE_PATHNAME', 'miralto_compare_lon' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION vemo_compare_lat(code text, reference text) RETURNS integer
  AS 'MODULE_PATHNAME', 'miralto_compare_lat' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
