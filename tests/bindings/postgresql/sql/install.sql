-- The extension installs at the version its control file names, and every version that an update
-- script names has a way to the current one.
CREATE EXTENSION miralto;
SELECT e.extversion = a.default_version AS at_default_version
FROM pg_extension e JOIN pg_available_extensions a ON a.name = e.extname
WHERE e.extname = 'miralto';
SELECT u.source AS version_without_update
FROM pg_extension_update_paths('miralto') u
JOIN pg_available_extensions a ON a.name = 'miralto' AND u.target = a.default_version
WHERE u.source <> u.target AND u.path IS NULL;

-- Every function is immutable (i), strict and parallel safe (s): fit for indexes, generated
-- columns and parallel workers.
SELECT p.oid::regprocedure AS function, p.prorettype::regtype AS returns,
       p.provolatile AS volatility, p.proisstrict AS strict, p.proparallel AS parallel
FROM pg_proc p
JOIN pg_depend d ON d.classid = 'pg_proc'::regclass AND d.objid = p.oid AND d.deptype = 'e'
JOIN pg_extension e ON e.oid = d.refobjid AND e.extname = 'miralto'
ORDER BY p.oid::regprocedure::text;
