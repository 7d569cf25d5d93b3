-- PostGIS points and position codes, over the functions of the extension miralto. The functions
-- name miralto's and PostGIS's schemas as they are when this extension is created, so that they
-- work whatever the caller's search_path.

\echo Use "CREATE EXTENSION miralto_postgis" to load this file. \quit

DO $install$
DECLARE
  base text := (SELECT quote_ident(n.nspname) FROM pg_extension e
                JOIN pg_namespace n ON n.oid = e.extnamespace WHERE e.extname = 'miralto');
  gis text := (SELECT quote_ident(n.nspname) FROM pg_extension e
               JOIN pg_namespace n ON n.oid = e.extnamespace WHERE e.extname = 'postgis');
BEGIN
  -- A point in longitude and latitude (SRID 4326) to its position code. The code is of the
  -- longitude and latitude themselves: another SRID is refused rather than read as degrees.
  EXECUTE format($sql$
    -- miralto's encoder, bound when this extension is created rather than looked up by name at
    -- each call: miralto may be moved to another schema later, and PL/pgSQL would then miss it.
    CREATE FUNCTION vemo_encode_degrees(lon float8, lat float8, corr_lon float8, corr_lat float8)
    RETURNS text LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
    RETURN %1$s.vemo_encode(lon, lat, corr_lon, corr_lat);

    CREATE FUNCTION vemo_encode(geom %2$s.geometry, corr_lon float8, corr_lat float8)
    RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $body$
    DECLARE
      srid integer := %2$s.ST_SRID(geom);
      kind text := %2$s.GeometryType(geom);
    BEGIN
      IF srid <> 4326 THEN
        RAISE EXCEPTION 'the point is in SRID %%, not in SRID 4326 (longitude and latitude)', srid
          USING ERRCODE = '22023', DETAIL = srid::text,
                HINT = 'Transform it first: vemo_encode(ST_Transform(geom, 4326)).';
      END IF;
      -- GeometryType names a point with a measure POINTM; one with a height stays POINT.
      IF kind NOT IN ('POINT', 'POINTM') THEN
        RAISE EXCEPTION 'a position code names a point, not a %%', kind
          USING ERRCODE = '22023', DETAIL = kind;
      END IF;
      RETURN @extschema@.vemo_encode_degrees(%2$s.ST_X(geom), %2$s.ST_Y(geom), corr_lon, corr_lat);
    END
    $body$;

    CREATE FUNCTION vemo_encode(geom %2$s.geometry) RETURNS text
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
    RETURN vemo_encode(geom, 0::float8, 0::float8);

    -- A position code to its point in SRID 4326.
    CREATE FUNCTION vemo_point(code text, corr_lon float8, corr_lat float8)
    RETURNS %2$s.geometry LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
    RETURN %2$s.ST_SetSRID(%2$s.ST_MakePoint(%1$s.vemo_lon(code, corr_lon, corr_lat),
                                             %1$s.vemo_lat(code, corr_lon, corr_lat)), 4326);

    CREATE FUNCTION vemo_point(code text) RETURNS %2$s.geometry
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
    RETURN vemo_point(code, 0::float8, 0::float8);
  $sql$, base, gis);
END
$install$;
