-- PostGIS points in SRID 4326 to codes and back, in the extension that needs both.
CREATE EXTENSION postgis;
CREATE EXTENSION miralto_postgis;
SELECT vemo_encode(ST_SetSRID(ST_MakePoint(113.288959, 23.236255), 4326)) AS code,
       vemo_encode(ST_SetSRID(ST_MakePoint(113.288959, 23.236255), 4326), 193, -106) AS corrected,
       vemo_encode('SRID=4326;POINT(113.288959 23.236255)'::geometry) AS from_ewkt;
SELECT ST_AsEWKT(vemo_point('87ak7vtpg')) AS point,
       ST_AsEWKT(vemo_point('8i4k7zwpg', -193, 106)) AS corrected;
SELECT vemo_encode(NULL::geometry) IS NULL AS null_geometry,
       vemo_point(NULL) IS NULL AS null_code,
       vemo_encode('SRID=4326;POINT EMPTY'::geometry) IS NULL AS empty_point;

-- The README's example: a table of sites coded with UPDATE, and an index on the expression.
CREATE TABLE sites (name text, geom geometry(Point, 4326), code text);
INSERT INTO sites (name, geom)
SELECT 's' || i, ST_SetSRID(ST_MakePoint(70 + (i * 7919 % 5003) * 72.1 / 5003,
                                         5 + (i * 104729 % 5009) * 72.1 / 5009), 4326)
FROM generate_series(1, 5000) AS i;
UPDATE sites SET code = vemo_encode(geom);
CREATE INDEX sites_by_code ON sites (vemo_encode(geom));
ANALYZE sites;
SELECT count(*) AS sites, count(*) FILTER (WHERE code = vemo_encode(ST_X(geom), ST_Y(geom))) AS same,
       count(*) FILTER (WHERE vemo_encode(vemo_point(code)) = code) AS round_trip
FROM sites;
EXPLAIN (COSTS OFF) SELECT name FROM sites WHERE vemo_encode(geom) = '8i4k7zwpg';
SELECT count(*) AS found FROM sites
WHERE vemo_encode(geom) = (SELECT code FROM sites WHERE name = 's42');

-- Another SRID is an error naming it; so is a geometry that is not a point, and the base
-- function's failures pass through.
\set SHOW_CONTEXT never
SELECT vemo_encode(ST_SetSRID(ST_MakePoint(12611800, 2661700), 3857));
\echo :LAST_ERROR_SQLSTATE
SELECT vemo_encode(ST_MakePoint(113.288959, 23.236255));
\echo :LAST_ERROR_SQLSTATE
SELECT vemo_encode('SRID=4326;LINESTRING(113 23, 114 24)'::geometry);
\echo :LAST_ERROR_SQLSTATE
SELECT vemo_encode(ST_SetSRID(ST_MakePoint(1, 2), 4326));
\echo :LAST_ERROR_SQLSTATE
SELECT vemo_point('8i4k7zwpl');
\echo :LAST_ERROR_SQLSTATE
