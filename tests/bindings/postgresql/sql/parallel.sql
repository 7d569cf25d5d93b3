-- Parallel workers give the codes one process gives, over a million rows.
CREATE TABLE million AS
SELECT i, 70 + (i::bigint * 7919 % 1000003)::float8 * 72.1 / 1000003 AS lon,
       5 + (i::bigint * 104729 % 1000033)::float8 * 72.1 / 1000033 AS lat
FROM generate_series(1, 1000000) AS i;
ANALYZE million;

SET max_parallel_workers_per_gather = 0;
CREATE TABLE serial_codes AS SELECT i, vemo_encode(lon, lat) AS code FROM million;

SET parallel_setup_cost = 0;
SET parallel_tuple_cost = 0;
SET min_parallel_table_scan_size = 0;
SET max_parallel_workers_per_gather = 2;
EXPLAIN (VERBOSE, COSTS OFF) SELECT i, vemo_encode(lon, lat) AS code FROM million;
CREATE FUNCTION workers_launched(query text) RETURNS integer LANGUAGE plpgsql AS $$
DECLARE
  plan json;
BEGIN
  EXECUTE 'EXPLAIN (ANALYZE, FORMAT JSON) ' || query INTO plan;
  RETURN (plan -> 0 -> 'Plan' ->> 'Workers Launched')::integer;
END
$$;
SELECT workers_launched('CREATE TABLE parallel_codes AS SELECT i, vemo_encode(lon, lat) AS code FROM million');
RESET ALL;

SELECT count(*) AS rows, count(*) FILTER (WHERE p.code = s.code) AS same_code,
       count(DISTINCT p.code) AS distinct_codes
FROM serial_codes s JOIN parallel_codes p USING (i);

-- A failure in whichever process meets the row reaches the client as the same SQL error.
INSERT INTO million VALUES (0, 1, 2);
SET parallel_setup_cost = 0;
SET parallel_tuple_cost = 0;
SET min_parallel_table_scan_size = 0;
SET max_parallel_workers_per_gather = 2;
\set SHOW_CONTEXT never
SELECT count(vemo_encode(lon, lat)) FROM million;
\echo :LAST_ERROR_SQLSTATE
RESET ALL;
