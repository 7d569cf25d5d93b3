-- An expression index on a code: built over a table, used by a lookup, kept by later rows.
CREATE TABLE markers (id integer, lon float8, lat float8);
INSERT INTO markers
SELECT i, 70 + (i * 7919 % 20011) * 72.1 / 20011, 5 + (i * 104729 % 20021) * 72.1 / 20021
FROM generate_series(1, 20000) AS i;
CREATE INDEX markers_by_code ON markers (vemo_encode(lon, lat));
ANALYZE markers;
EXPLAIN (COSTS OFF) SELECT id FROM markers WHERE vemo_encode(lon, lat) = '8i4k7zwpg';
INSERT INTO markers VALUES (0, 113.288959, 23.236255);
SELECT id FROM markers WHERE vemo_encode(lon, lat) = '8i4k7zwpg';
SELECT count(*) AS found_by_index FROM markers p
WHERE vemo_encode(p.lon, p.lat) = (SELECT vemo_encode(lon, lat) FROM markers WHERE id = 4711);
-- A row the code cannot name is refused, because its index entry cannot be computed.
INSERT INTO markers VALUES (-1, 1, 2);

-- A generated column follows its row; NULL positions give a NULL code.
CREATE TABLE stations (name text, lon float8, lat float8,
                       code text GENERATED ALWAYS AS (vemo_encode(lon, lat)) STORED);
INSERT INTO stations (name, lon, lat) VALUES ('guangzhou', 113.288959, 23.236255), ('unknown', NULL, NULL);
SELECT name, code FROM stations ORDER BY name;
UPDATE stations SET lon = 113.294305555556, lat = 23.2333055555556 WHERE name = 'guangzhou';
SELECT name, code, vemo_lon(code), vemo_lat(code) FROM stations ORDER BY name;
INSERT INTO stations (name, lon, lat) VALUES ('far', 10, 10);
