// The batch panel: lines pasted or a file read locally, the batch converter's options, and the
// conversion in a worker, so that a million lines leave the page responsive.
'use strict';

const extensions = { text: ['txt', 'text/plain'], geojson: ['geojson', 'application/geo+json'],
                     kml: ['kml', 'application/vnd.google-earth.kml+xml'],
                     gpx: ['gpx', 'application/gpx+xml'] };

miraltoReady.then((module) => {
  const $ = (id) => document.getElementById(id);
  const tables = module.batchTables();
  const commandSelect = $('batch-command');
  for (const command of tables.commands) {
    commandSelect.add(new Option(`${command.name} (${command.button})`, command.name));
  }
  const fromSelect = $('batch-from');
  for (const format of tables.formats) {
    if (format.readable) fromSelect.add(new Option(format.name, format.name));
  }
  const toSelect = $('batch-to');
  for (const format of tables.formats) toSelect.add(new Option(format.name, format.name));
  const recordOptions = ['batch-csv', 'batch-columns', 'batch-header', 'batch-append',
                         'batch-comment'];

  // Only the choices that go together: --dd with decode, maps where the command writes a
  // position, and a GeoJSON input with the commands that read one, its features for records.
  function followChoices() {
    const geojson = fromSelect.value === 'geojson';
    for (const option of commandSelect.options) {
      const command = tables.commands.find((c) => c.name === option.value);
      option.disabled = geojson && !command.takesPoints;
    }
    if (commandSelect.selectedOptions[0].disabled) {
      commandSelect.value = tables.commands.find((c) => c.takesPoints).name;
    }
    const command = tables.commands.find((c) => c.name === commandSelect.value);
    $('batch-dd').disabled = !command.dd;
    if (!command.dd) $('batch-dd').checked = false;
    for (const option of toSelect.options) {
      const format = tables.formats.find((f) => f.name === option.value);
      option.disabled = (format.isMap && !command.hasPoint) ||
                        (geojson && format.name !== 'text' && format.name !== 'geojson');
    }
    if (toSelect.selectedOptions[0].disabled) toSelect.value = 'text';
    for (const id of recordOptions) {
      $(id).disabled = geojson;
      if (geojson) {
        if ($(id).type === 'checkbox') $(id).checked = false; else $(id).value = '';
      }
    }
  }
  commandSelect.addEventListener('change', followChoices);
  fromSelect.addEventListener('change', followChoices);
  followChoices();

  function storedCorrections() {
    const model = window.miraltoWindow && window.miraltoWindow.model;
    if (!model) return;
    const [lon, lat] = model.corrections();
    $('batch-correction-lon').value = lon;
    $('batch-correction-lat').value = lat;
  }
  // The window's corrections, as the command line takes the correction file's by default: those
  // kept when the page opened, and each saved since at once, as miralto-cli reads the file anew
  // on every run.
  storedCorrections();
  document.addEventListener('miralto-window', storedCorrections);
  document.addEventListener('miralto-corrections', storedCorrections);

  function options() {
    const columns = $('batch-columns').value.trim();
    return {
      from: fromSelect.value,
      command: commandSelect.value,
      to: toSelect.value,
      dd: $('batch-dd').checked,
      lenient: $('batch-lenient').checked,
      csv: $('batch-csv').checked,
      columns: columns === '' ? [] : columns.split(',').map((c) => c.trim()),
      header: $('batch-header').checked,
      append: $('batch-append').checked,
      commentDelimiter: $('batch-comment').value,
      correction: [$('batch-correction-lon').value, $('batch-correction-lat').value],
    };
  }

  let worker = null;
  let url = null;
  $('batch-convert').addEventListener('click', () => {
    const texts = window.miraltoWindow ? window.miraltoWindow.texts : pageTexts.en;
    const chosen = options();
    const problem = module.batchProblem(chosen);
    const status = $('batch-status');
    // An earlier conversion's download is gone before anything else is said, so that it is never
    // taken for the result of these options.
    if (worker) worker.terminate();
    worker = null;
    if (url) URL.revokeObjectURL(url);
    url = null;
    const download = $('batch-download');
    download.hidden = true;
    $('batch-preview').textContent = '';
    $('batch-progress').value = 0;
    if (problem) {
      status.textContent = problem;
      document.body.dataset.batch = 'refused';
      return;
    }
    const file = $('batch-file').files[0];
    const input = file || new Blob([$('batch-lines').value]);
    status.textContent = texts.converting;
    document.body.dataset.batch = 'running';
    worker = new Worker('batch_worker.js');
    const fail = (text) => {
      status.textContent = text;
      document.body.dataset.batch = 'failed';
      worker.terminate();
      worker = null;
    };
    worker.onmessage = ({ data }) => {
      if (data.progress !== undefined) {
        $('batch-progress').value = data.progress;
        return;
      }
      if (data.unavailable) {
        fail(texts.unavailable);
        return;
      }
      if (data.error) {
        fail(data.error);
        return;
      }
      const [extension, type] = extensions[chosen.to];
      const output = new Blob(data.chunks, { type });
      url = URL.createObjectURL(output);
      download.href = url;
      download.download = `miralto-${chosen.command}.${extension}`;
      download.hidden = false;
      $('batch-progress').value = 1;
      status.textContent = texts.done(data.lines, !data.ok);
      output.slice(0, 64 * 1024).text().then((text) => {
        $('batch-preview').textContent = text;
        document.body.dataset.batch = 'done';
      });
      worker.terminate();
      worker = null;
    };
    // The worker's own script could not be fetched: the module's failures it tells itself.
    worker.onerror = () => fail(texts.unavailable);
    worker.postMessage({ options: chosen, input });
  });
});
