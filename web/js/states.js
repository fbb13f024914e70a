// A project's states on its way through the survey, in their order.
export const STATES = ["未填报", "填报中", "已上报", "退回修改", "已审核"];
