// The plug-in's four pages, Movement, Nature, Life and Sources, built from
// the engine's settings table: its captions, group boxes, ranges, tooltips
// and preset buttons. Every control writes its field into the record at
// once and asks for a new frame; load() sets every control from the record.
export const pageNames = ['Movement', 'Nature', 'Life', 'Sources'];

const legends = { 'Moving X': 'Black:Right White:Left', 'Moving Y': 'Black: Up  White: Down', Delay: 'Black:First White:Last' };
const holdBoxes = [['Clip 1', 0], ['Clip 2', 1]];

export function readField(settings, field) {
  const word = new DataView(settings.buffer, settings.byteOffset).getInt32(field.offset, true);
  return field.bit < 0 ? word : (word >> field.bit) & 1;
}

export function writeField(settings, field, value) {
  const view = new DataView(settings.buffer, settings.byteOffset);
  const clamped = Math.min(field.maximum, Math.max(field.minimum, Math.trunc(value)));
  if (field.bit < 0) { view.setInt32(field.offset, clamped, true); return; }
  const word = view.getInt32(field.offset, true), mask = 1 << field.bit;
  view.setInt32(field.offset, clamped ? word | mask : word & ~mask, true);
}

function element(tag, attributes = {}, ...children) {
  const node = Object.assign(document.createElement(tag), attributes);
  node.append(...children);
  return node;
}

// One control for one field; answers its element and how to load it.
function fieldControl(field, record, changed) {
  const id = `field-${field.name}`;
  const store = (value) => { writeField(record(), field, value); changed(field); };
  if (field.listNames.length === 2 && field.bit >= 0) {  // the Order box's radio pairs
    const buttons = field.listNames.map((name, value) => {
      const input = element('input', { type: 'radio', name: id, id: `${id}-${value}`, value,
        title: field.listTooltips[value] ?? field.tooltip });
      input.onchange = () => store(value);
      return input;
    });
    const row = element('div', { className: 'radios' },
      ...buttons.flatMap((b, value) => [b, element('label', { htmlFor: b.id, title: b.title }, field.listNames[value])]));
    return { row, load: () => { buttons[readField(record(), field)].checked = true; } };
  }
  if (field.listNames.length > 0) {
    const select = element('select', { id, title: field.tooltip },
      ...field.listNames.map((name, value) => element('option', { value }, name)));
    select.onchange = () => store(Number(select.value));
    return { row: element('div', { className: 'list' }, element('label', { htmlFor: id }, field.caption), select),
      load: () => { select.value = String(readField(record(), field)); } };
  }
  if (field.maximum === 1) {
    const box = element('input', { type: 'checkbox', id, title: field.tooltip });
    box.onchange = () => store(box.checked ? 1 : 0);
    return { row: element('div', { className: 'check' }, box, element('label', { htmlFor: id }, field.caption)),
      load: () => { box.checked = readField(record(), field) === 1; } };
  }
  if (field.group === 'Cell size' || field.page === 'Sources') {  // the dialog's number boxes and spins
    const box = element('input', { type: 'number', id, min: field.minimum, max: field.maximum, step: 1, title: field.tooltip });
    box.onchange = () => {
      if (box.value === '') { box.value = readField(record(), field); return; }
      store(Number(box.value));
      box.value = readField(record(), field);
    };
    return { row: element('div', { className: 'number' }, element('label', { htmlFor: id }, field.caption), box),
      load: () => { box.value = readField(record(), field); } };
  }
  const slider = element('input', { type: 'range', id, min: field.minimum, max: field.sliderMaximum, step: 1, title: field.tooltip });
  const shown = element('output', { htmlFor: id });
  slider.oninput = () => { store(Number(slider.value)); shown.value = slider.value; };
  const parts = [slider, element('label', { htmlFor: id, title: field.tooltip }, field.caption), shown];
  if (field.preset !== null) {
    const button = element('button', { type: 'button', className: 'preset', id: `preset-${field.name}`,
      title: `${field.preset.value}` }, field.preset.label);
    button.onclick = () => { store(field.preset.value); slider.value = field.preset.value; shown.value = slider.value; };
    parts.unshift(button);
  } else {
    parts.unshift(element('span', { className: 'preset' }));
  }
  return { row: element('div', { className: 'slider' }, ...parts),
    load: () => { slider.value = readField(record(), field); shown.value = slider.value; } };
}

function holdControls(holdField, record, changed) {
  const boxes = holdBoxes.map(([caption, bit]) => {
    const box = element('input', { type: 'checkbox', id: `hold-${bit}` });
    box.onchange = () => {
      const word = readField(record(), holdField);
      writeField(record(), holdField, box.checked ? word | (1 << bit) : word & ~(1 << bit));
      changed(holdField);
    };
    return { box, row: element('div', { className: 'check' }, box, element('label', { htmlFor: box.id }, caption)) };
  });
  return { rows: boxes.map((b) => b.row),
    load: () => boxes.forEach(({ box }, bit) => { box.checked = ((readField(record(), holdField) >> bit) & 1) === 1; }) };
}

// Builds the tabs and pages into `root`. record() answers the current
// 424 bytes; changed(field) runs after every write. Answers load() and
// the chosen Sources parameter (0 "Moving X", 1 "Moving Y", 2 "Delay").
export function buildPages(root, fields, record, changed) {
  const loads = [];
  const tabs = element('div', { className: 'tabs', role: 'tablist' });
  const pages = {};
  for (const name of pageNames) {
    const tab = element('button', { type: 'button', role: 'tab', id: `tab-${name}` }, name);
    const page = element('section', { className: 'page', id: `page-${name}`, role: 'tabpanel' });
    tab.onclick = () => {
      for (const other of pageNames) {
        pages[other].hidden = other !== name;
        document.getElementById(`tab-${other}`).setAttribute('aria-selected', String(other === name));
      }
      if (name === 'Sources') changed(null);  // its thumbnail is drawn with the next frame
    };
    tabs.append(tab);
    pages[name] = page;
  }
  root.append(tabs, ...Object.values(pages));

  const shown = fields.filter((f) => f.panel).sort((x, y) => x.panelOrder - y.panelOrder);
  const groups = new Map();
  for (const field of shown) {
    const key = `${field.page}/${field.group}`;
    if (!groups.has(key)) {
      const box = element('fieldset', { className: 'group' }, element('legend', {}, field.group));
      groups.set(key, box);
      pages[field.page].append(box);
    }
    const control = fieldControl(field, record, changed);
    groups.get(key).append(control.row);
    loads.push(control.load);
  }
  const holdField = fields.find((f) => f.name === 'holdFlags');
  const hold = holdControls(holdField, record, changed);
  pages.Nature.append(element('fieldset', { className: 'group' }, element('legend', {}, holdField.group), ...hold.rows));
  loads.push(hold.load);

  // Sources: one parameter's map at a time, beside its thumbnail.
  const parameters = Object.keys(legends);
  const parameter = element('select', { id: 'parameter' }, ...parameters.map((p, i) => element('option', { value: i }, p)));
  const legend = element('div', { id: 'legend' });
  const thumbnail = element('canvas', { id: 'thumbnail', width: 128, height: 96 });
  const sourceBox = element('fieldset', { className: 'group thumbnail' }, element('legend', {}, 'Source'), thumbnail, legend);
  const parameterBox = element('fieldset', { className: 'group' }, element('legend', {}, 'Parameter:'), parameter);
  pages.Sources.prepend(sourceBox, parameterBox);
  const showParameter = () => {
    const chosen = parameters[Number(parameter.value)];
    for (const [key, box] of groups) if (key.startsWith('Sources/')) box.hidden = !key.endsWith(`/${chosen}`);
    legend.textContent = legends[chosen];
    changed(null);
  };
  parameter.onchange = showParameter;
  tabs.firstChild.click();
  showParameter();
  return {
    load: () => loads.forEach((load) => load()),
    parameter: () => Number(parameter.value),
    thumbnail,
  };
}
