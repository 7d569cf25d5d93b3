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

-- The README's example: a table of sites coded with UPDATE, and an index on the expression, in a
-- table of its own name (the vector tables' test leaves a table named sites).
CREATE TABLE gis_sites (name text, geom geometry(Point, 4326), code text);
INSERT INTO gis_sites (name, geom)
SELECT 's' || i, ST_SetSRID(ST_MakePoint(70 + (i * 7919 % 5003) * 72.1 / 5003,
                                         5 + (i * 104729 % 5009) * 72.1 / 5009), 4326)
FROM generate_series(1, 5000) AS i;
UPDATE gis_sites SET code = vemo_encode(geom);
CREATE INDEX sites_by_code ON gis_sites (vemo_encode(geom));
ANALYZE gis_sites;
SELECT count(*) AS sites, count(*) FILTER (WHERE code = vemo_encode(ST_X(geom), ST_Y(geom))) AS same,
       count(*) FILTER (WHERE vemo_encode(vemo_point(code)) = code) AS round_trip
FROM gis_sites;
EXPLAIN (COSTS OFF) SELECT name FROM gis_sites WHERE vemo_encode(geom) = '8i4k7zwpg';
SELECT count(*) AS found FROM gis_sites
WHERE vemo_encode(geom) = (SELECT code FROM gis_sites WHERE name = 's42');

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

-- A point with a height or a measure is still a point.
SELECT vemo_encode('SRID=4326;POINT Z(113.288959 23.236255 5)'::geometry) AS with_height,
       vemo_encode('SRID=4326;POINT M(113.288959 23.236255 5)'::geometry) AS with_measure,
       vemo_encode('SRID=4326;POINT ZM(113.288959 23.236255 5 6)'::geometry) AS with_both;

-- miralto moved to another schema after miralto_postgis was created: the points still encode.
CREATE SCHEMA moved;
ALTER EXTENSION miralto SET SCHEMA moved;
SELECT vemo_encode(ST_SetSRID(ST_MakePoint(113.288959, 23.236255), 4326)) AS code,
       vemo_encode(ST_SetSRID(ST_MakePoint(113.288959, 23.236255), 4326), 193, -106) AS corrected,
       ST_AsEWKT(vemo_point('87ak7vtpg')) AS point;
ALTER EXTENSION miralto SET SCHEMA public;
DROP SCHEMA moved;
