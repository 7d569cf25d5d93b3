// The window: built from the control table, every typed text and click forwarded to the form model,
// and what it reports shown. The page's own few texts follow the browser's language, as the
// model's failures do.
'use strict';

const pageTexts = {
  en: {
    window: 'Position code', batch: 'Batch', lines: 'Lines',
    file: 'Or a file (read here, never uploaded)', from: 'Input', command: 'Command',
    to: 'Output',
    dd: 'decimal degrees', lenient: 'read as ↑ does', columns: 'Columns', header: 'header line',
    append: 'input, then results', comment: 'Comment delimiter',
    correction: 'Corrections (lon, lat)', convert: 'Convert', download: 'Download',
    noStorage: 'The browser\'s storage is unavailable (private mode?): "修正误差" cannot keep ' +
               'the corrections beyond this page.',
    converting: 'Converting…', done: (lines, failed) =>
      (lines === null ? 'The features converted' : `${lines} lines converted`) +
      (failed ? ', some with errors' : ''),
    unavailable: 'The converter could not be loaded from the server: check the connection and ' +
                 'convert again.',
    about: 'About Miralto: published under the Apache License 2.0 (SPDX: Apache-2.0). The page ' +
           'includes libcsv (LGPL-2.1+), fmt and fast_float, each under its own licence.',
  },
  zh: {
    window: '位置码', batch: '批量转换', lines: '行', file: '或选择文件（仅在本机读取，不上传）',
    from: '输入', command: '命令', to: '输出', dd: '十进制度', lenient: '按 ↑ 的方式读取', columns: '列',
    header: '首行为标题', append: '输入后接结果', comment: '注释分隔符',
    correction: '修正值（经度、纬度）', convert: '转换', download: '下载',
    noStorage: '浏览器存储不可用（隐私模式？）："修正误差" 无法在本页之外保存修正值。',
    converting: '正在转换…', done: (lines, failed) =>
      (lines === null ? '已转换各要素' : `已转换 ${lines} 行`) + (failed ? '，部分有错误' : ''),
    unavailable: '无法从服务器加载转换程序：请检查网络连接后重新转换。',
    about: '关于 Miralto：依据 Apache 许可证 2.0 版发布（SPDX：Apache-2.0）。本页包含 libcsv' +
           '（LGPL-2.1+）、fmt 和 fast_float，各依其自身的许可证。',
  },
};

const miraltoReady = Miralto();

miraltoReady.then((module) => {
  const language = module.isChinese(navigator.language || '') ? 'zh' : 'en';
  const texts = pageTexts[language];
  document.documentElement.lang = language === 'zh' ? 'zh-CN' : 'en';
  for (const element of document.querySelectorAll('[data-text]')) {
    element.textContent = texts[element.dataset.text];
  }

  const form = document.getElementById('form');
  const size = module.clientSize();
  const scaleToScreen = () => {
    // Twice the design size where there is room, never wider than the screen (a phone).
    const room = (document.querySelector('main').clientWidth - 4) / size.width;
    form.style.setProperty('--scale', Math.max(0.8, Math.min(2, room)).toFixed(3));
  };
  form.style.setProperty('--client-width', size.width);
  form.style.setProperty('--client-height', size.height);
  scaleToScreen();
  window.addEventListener('resize', scaleToScreen);

  const model = new module.Window();
  const elements = new Map();
  // Controls are created in the table's order, which is the tab order.
  for (const row of module.controls()) {
    const element = document.createElement(
      row.kind === 'text' ? 'input' : row.kind === 'button' ? 'button' : 'span');
    element.dataset.control = row.name;
    element.setAttribute('aria-label', language === 'zh' ? row.roleZh : row.role);
    const pixels = (twips) => Math.trunc(twips / size.twipsPerPixel);
    element.style.setProperty('--left', pixels(row.left));
    element.style.setProperty('--top', pixels(row.top));
    element.style.setProperty('--width', pixels(row.width));
    element.style.setProperty('--height', pixels(row.height));
    if (row.kind === 'text') {
      element.type = 'text';
      element.value = row.text;
      element.spellcheck = false;
      element.autocomplete = 'off';
      element.addEventListener('input', () => model.setText(row.name, element.value));
    } else if (row.kind === 'button') {
      element.type = 'button';
      element.textContent = row.text;
      element.addEventListener('click', () => {
        const report = model.click(row.name);
        show(report);
        if (report.saved) document.dispatchEvent(new Event('miralto-corrections'));
      });
    } else {
      element.textContent = row.text;
    }
    form.appendChild(element);
    elements.set(row.name, element);
  }

  // A caption is never cut: each label takes the place and the inset the form gives the width
  // its caption measures, as the desktop windows' labels do.
  const scale = Number(form.style.getPropertyValue('--scale'));
  for (const [name, element] of elements) {
    if (element.tagName !== 'SPAN') continue;
    element.style.width = 'auto';
    const captionWidth = Math.ceil(element.getBoundingClientRect().width / scale);
    element.style.width = '';
    const place = module.labelPlace(name, captionWidth);
    element.style.setProperty('--left', place.left);
    element.style.setProperty('--width', place.width);
    element.style.paddingLeft = `calc(${place.inset} * var(--scale) * 1px)`;
  }

  const dialog = document.getElementById('failure');
  function show(report) {
    for (const [control, text] of report.writes) elements.get(control).value = text;
    // What the model reported last, for the page's tests.
    window.miraltoLastReport = report;
    if (report.failure) {
      document.getElementById('failure-text').textContent = report.failure[language];
      dialog.showModal();
    }
  }

  const note = document.getElementById('storage-note');
  try {
    const probe = 'miralto/probe';
    localStorage.setItem(probe, '1');
    localStorage.removeItem(probe);
  } catch (e) {
    note.textContent = texts.noStorage;
    note.hidden = false;
  }

  show(model.formLoad());
  elements.get('Text3(0)').focus();
  window.miraltoWindow = { module, model, texts, language };
  document.body.dataset.ready = 'window';
  document.dispatchEvent(new Event('miralto-window'));

  if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    navigator.serviceWorker.register('service_worker.js').catch(() => {});
  }
});
